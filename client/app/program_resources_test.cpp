// The program's resources as the layer finds them in the program: the icon group naming the
// installation's icon picture, the version block, the manifest's execution level.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "program_resources.h"
#include "test_root.h"
#include "version_block.h"

namespace {

std::string Resource(LPCSTR name, LPCSTR type) {
    HRSRC found = FindResourceA(nullptr, name, type);
    if (!found)
        return "";
    const char* data = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
    return std::string(data, SizeofResource(nullptr, found));
}

TEST(ProgramResourcesTest, TheProgramCarriesItsIconVersionBlockAndManifest) {
    const std::string icon = Resource(MAKEINTRESOURCEA(IDR_MAINFRAME), RT_GROUP_ICON);
    EXPECT_EQ(icon, kProgramIconFile);
    EXPECT_NE(brtest::ReadFile(std::string(BR_BIN_DIR) + "/" + icon), "")
        << "the installation has the picture";

    const std::vector<BYTE> version = BuildVersionBlock(ProgramVersion());
    EXPECT_EQ(Resource(MAKEINTRESOURCEA(kVersionInfoId), RT_VERSION),
              std::string(version.begin(), version.end()));

    const std::string manifest = Resource(MAKEINTRESOURCEA(kProgramManifestId), kManifestType);
    EXPECT_NE(manifest.find("level=\"asInvoker\" uiAccess=\"false\""), std::string::npos)
        << manifest;
}

}  // namespace
