// Which names are the part files of an installer download.
#include <gtest/gtest.h>

#include "stale_part_files.h"

namespace {

TEST(InstallerPartNameTest, Table) {
    const struct {
        const char* name;
        bool matches;
        unsigned long pid;
    } cases[] = {
        {"BRDJ_1.0.0.2.exe.4242-1.part", true, 4242},
        {"BRDJ_1.0.0.10.exe.7-123.part", true, 7},
        {"BRDJ_1.0.0.2.exe.0-1.part", false, 0},            // no process has id 0
        {"BRDJ_1.0.0.2.exe.4242-1", false, 0},              // no suffix
        {"BRDJ_1.0.0.2.exe.4242.part", false, 0},           // no download number
        {"BRDJ_1.0.0.2.exe.-1.part", false, 0},             // no process id
        {"BRDJ_1.0.0.2.exe.4242-.part", false, 0},          // an empty download number
        {"BRDJ_1.0.0.2.exe.42a2-1.part", false, 0},         // not decimal
        {"BRDJ_1.0.0.2.exe.+42-1.part", false, 0},          // a sign
        {"BRDJ_1.0.0.2.exe.12345678901-1.part", false, 0},  // too long for a process id
        {"BRDJ_x.exe.4242-1.part", false, 0},               // not a version text
        {"BRDJ_.exe.4242-1.part", false, 0},
        {"BRDJ_1.0.0.2.msi.4242-1.part", false, 0},
        {"brdj_1.0.0.2.exe.4242-1.part", false, 0},
        {"XBRDJ_1.0.0.2.exe.4242-1.part", false, 0},
        {"BRDJ_1.0.0.2.exe.4242-1.part.part", false, 0},
        {"Config.ini.4242-1.part", false, 0},
        {"BRDJ_.part", false, 0},
    };
    for (const auto& c : cases) {
        unsigned long pid = 0;
        EXPECT_EQ(IsInstallerPartName(c.name, pid), c.matches) << c.name;
        if (c.matches) {
            EXPECT_EQ(pid, c.pid) << c.name;
        }
    }
}

}  // namespace
