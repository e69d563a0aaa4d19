// The dump directory rule, the split of the program's name and the dump file name format.
#include <gtest/gtest.h>

#include <string>

#include "dump_path.h"

namespace {

struct DirectoryCase {
    const char* modulePath;
    bool fits;
    const char* dir;
};

TEST(DumpDirectoryOf, CutsAtTheLastSeparator) {
    const std::string longest(kDumpPathSize - 1, 'd');
    const std::string tooLong(kDumpPathSize, 'd');
    const DirectoryCase cases[] = {
        {"/opt/brdj/BrCoreService.exe", true, "/opt/brdj"},
        {"/opt/br.dj/BrCoreService", true, "/opt/br.dj"},
        {"/opt/brdj//BrCoreService.exe", true, "/opt/brdj"},  // one trailing separator goes
        {"/opt/brdj///BrCoreService.exe", true, "/opt/brdj/"},
        {"/BrCoreService.exe", true, ""},  // the root: the dump path starts with the separator
        {"BrCoreService.exe", true, "BrCoreService.exe"},  // no separator: the whole path
        {"", true, ""},
    };
    for (const DirectoryCase& c : cases) {
        char dir[kDumpPathSize];
        EXPECT_EQ(DumpDirectoryOf(c.modulePath, dir), c.fits) << c.modulePath;
        EXPECT_STREQ(dir, c.dir) << c.modulePath;
    }
    char dir[kDumpPathSize];
    EXPECT_TRUE(DumpDirectoryOf((longest + "/x").c_str(), dir));
    EXPECT_EQ(std::string(dir), longest);
    EXPECT_FALSE(DumpDirectoryOf((tooLong + "/x").c_str(), dir));
    EXPECT_STREQ(dir, "");
}

struct SplitCase {
    const char* path;
    bool fits;
    const char* name;
    const char* extension;
};

TEST(SplitProgramName, NameAndExtensionOfTheFileOnly) {
    const SplitCase cases[] = {
        {"/opt/brdj/BrCoreService.exe", true, "BrCoreService", ".exe"},
        // A dot in a folder name is no extension.
        {"/opt/br.dj/BrCoreService", true, "BrCoreService", ""},
        {"/opt/brdj/service.v2.exe", true, "service.v2", ".exe"},  // the last dot
        {"/opt/brdj/BrCoreService.", true, "BrCoreService", "."},
        {"BrCoreService.exe", true, "BrCoreService", ".exe"},
        {"/opt/brdj/", true, "", ""},
    };
    for (const SplitCase& c : cases) {
        char name[kDumpNamePartSize];
        char extension[kDumpNamePartSize];
        EXPECT_EQ(SplitProgramName(c.path, name, extension), c.fits) << c.path;
        EXPECT_STREQ(name, c.name) << c.path;
        EXPECT_STREQ(extension, c.extension) << c.path;
    }
}

TEST(SplitProgramName, PartsThatDoNotFitGiveNothing) {
    char name[kDumpNamePartSize];
    char extension[kDumpNamePartSize];
    std::string longest(kDumpNamePartSize - 1, 'n');
    EXPECT_TRUE(SplitProgramName(("/x/" + longest + ".exe").c_str(), name, extension));
    EXPECT_EQ(std::string(name), longest);
    std::string tooLong(kDumpNamePartSize, 'n');
    EXPECT_FALSE(SplitProgramName(("/x/" + tooLong + ".exe").c_str(), name, extension));
    EXPECT_STREQ(name, "");
    EXPECT_STREQ(extension, "");
    EXPECT_FALSE(SplitProgramName(("/x/a." + tooLong).c_str(), name, extension));
    EXPECT_STREQ(name, "");
    EXPECT_STREQ(extension, "");
}

SYSTEMTIME Time(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second,
                WORD millisecond) {
    SYSTEMTIME time{};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    time.wMilliseconds = millisecond;
    return time;
}

struct FormatCase {
    SYSTEMTIME time;
    const char* name;
    const char* extension;
    const char* path;
};

TEST(FormatDumpPath, DirectoryTimeToTheMillisecondNameAndExtension) {
    const FormatCase cases[] = {
        {Time(2024, 1, 31, 23, 59, 59, 7), "BrCoreService", ".exe",
         "/opt/brdj/20240131235959007_BrCoreService.exe.dmp"},
        {Time(2025, 12, 1, 0, 0, 0, 0), "BrCoreService", ".exe",
         "/opt/brdj/20251201000000000_BrCoreService.exe.dmp"},
        {Time(2024, 6, 5, 4, 3, 2, 999), "BrCoreService", "",
         "/opt/brdj/20240605040302999_BrCoreService.dmp"},
    };
    for (const FormatCase& c : cases) {
        char path[kDumpPathSize];
        EXPECT_TRUE(FormatDumpPath("/opt/brdj", c.time, c.name, c.extension, path));
        EXPECT_STREQ(path, c.path);
    }
}

// "/" + 17 digits + "_" + "BrCoreService.exe" + ".dmp": 40 characters after the directory.
TEST(FormatDumpPath, APathOfMoreThan259CharactersIsNotFormed) {
    const SYSTEMTIME time = Time(2024, 1, 31, 23, 59, 59, 7);
    const struct {
        size_t dirLength;
        bool fits;
    } cases[] = {{kDumpPathSize - 1 - 40, true}, {kDumpPathSize - 40, false}, {300, false}};
    for (const auto& c : cases) {
        std::string dir(c.dirLength, 'd');
        char path[kDumpPathSize];
        EXPECT_EQ(FormatDumpPath(dir.c_str(), time, "BrCoreService", ".exe", path), c.fits)
            << c.dirLength;
        if (c.fits) {
            EXPECT_EQ(std::string(path), dir + "/20240131235959007_BrCoreService.exe.dmp");
            EXPECT_EQ(std::string(path).size(), kDumpPathSize - 1);
        } else {
            EXPECT_STREQ(path, "") << c.dirLength;
        }
    }
}

}  // namespace
