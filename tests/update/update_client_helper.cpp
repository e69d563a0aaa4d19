// Test helper: the client's side of updating, as the main window will drive it. "check" runs
// CheckForUpdate, "close" runs InstallPendingUpdate. The data folder is set as the main window
// sets it, unless the second argument is "noworkdir" (no common data folder to be had).
#include <string>

#include "dir_and_ini.h"
#include "update_contract.h"
#include "update_launcher.h"

int main(int argc, char** argv) {
    std::string action = argc > 1 ? argv[1] : "";
    if (argc <= 2 || std::string(argv[2]) != "noworkdir") {
        g_strWorkDir = DataDirectory(GetCommonDataDir());
    }
    if (action == "check") {
        CheckForUpdate();
    } else if (action == "close") {
        InstallPendingUpdate();
    } else {
        return 2;
    }
    return 0;
}
