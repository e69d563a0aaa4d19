// The program's resource table, registered while the program runs. Template 102 and the other
// resources of the main window belong to the main window's own table.
#include "program_resources.h"

#include <vector>

#include "version_block.h"

namespace {

// Runs with the installing user's rights; no access to other programs' windows.
constexpr char kManifest[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\n"
    "  <trustInfo xmlns=\"urn:schemas-microsoft-com:asm.v3\">\n"
    "    <security>\n"
    "      <requestedPrivileges>\n"
    "        <requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\">"
    "</requestedExecutionLevel>\n"
    "      </requestedPrivileges>\n"
    "    </security>\n"
    "  </trustInfo>\n"
    "</assembly>\n";

const std::vector<BYTE> kVersionBytes = BuildVersionBlock(ProgramVersion());

const PalResource kProgramResources[] = {
    {RT_GROUP_ICON, MAKEINTRESOURCEA(IDR_MAINFRAME), kProgramIconFile,
     DWORD(sizeof kProgramIconFile - 1)},
    {RT_VERSION, MAKEINTRESOURCEA(kVersionInfoId), kVersionBytes.data(),
     DWORD(kVersionBytes.size())},
    {kManifestType, MAKEINTRESOURCEA(kProgramManifestId), kManifest, DWORD(sizeof kManifest - 1)},
};

}  // namespace

PAL_MODULE_RESOURCES(kProgramResources);
