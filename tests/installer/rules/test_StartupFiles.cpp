#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "installer/rules/StartupFiles.h"

namespace {
std::string Joined(const char* const* parts)
{
    std::string s;
    for (; *parts; ++parts)
        s += *parts;
    return s;
}
}  // namespace

TEST(StartupFiles, ExactContentsWithoutAFinalLineEnd)
{
    EXPECT_EQ("REM KESTRAND   ** DO NOT MODIFY **", Joined(kConfigSysParts));
    EXPECT_EQ(34u, Joined(kConfigSysParts).size());
    EXPECT_EQ("REM KESTRAND   ** DO NOT MODIFY **\r\n@echo off\r\nksstart.com", Joined(kAutoexecBatParts));
    EXPECT_EQ(58u, Joined(kAutoexecBatParts).size());
    EXPECT_STREQ(kStartupMarker, kConfigSysParts[0]);
}

TEST(StartupFiles, BackupReplacesTheLastFourCharacters)
{
    char b[32];
    ASSERT_EQ(1, MakeBackupPath("A:\\config.sys", b, sizeof b));
    EXPECT_STREQ("A:\\config.zeb", b);
    ASSERT_EQ(1, MakeBackupPath("B:\\autoexec.bat", b, sizeof b));
    EXPECT_STREQ("B:\\autoexec.zeb", b);
    ASSERT_EQ(1, MakeBackupPath(".sys", b, sizeof b));
    EXPECT_STREQ(".zeb", b);
    ASSERT_EQ(1, MakeBackupTempPath("A:\\config.sys", b, sizeof b));
    EXPECT_STREQ("A:\\config.ze$", b);
}

TEST(StartupFiles, OnlyAFileWhoseFirstLineIsTheMarkerIsTheInstallersOwn)
{
    const struct {
        const char* head;
        int own;
    } rows[] = {
        {"REM KESTRAND   ** DO NOT MODIFY **", 1},
        {"REM KESTRAND   ** DO NOT MODIFY **\r\n@echo off\r\nksstart.com", 1},
        {"REM KESTRAND   ** DO NOT MODIFY **\nFILES=30", 1},
        {"REM KESTRAND   ** DO NOT MODIFY **X", 0},
        {"REM KESTRAND   ** DO NOT MODIFY *", 0},
        {"REM KESTRAND  ** DO NOT MODIFY **", 0},
        {"rem kestrand   ** do not modify **", 0},
        {"FILES=30\r\nREM KESTRAND   ** DO NOT MODIFY **", 0},
        {"", 0},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.own, IsInstallerStartupFile(row.head, strlen(row.head))) << row.head;
    // Only the bytes given count, whatever follows them in memory.
    EXPECT_EQ(0, IsInstallerStartupFile(kStartupMarker, 10));
}

TEST(StartupFiles, BackupThatDoesNotFitIsRefusedNotCut)
{
    char b[14];
    memset(b, 'x', sizeof b);
    EXPECT_EQ(1, MakeBackupPath("A:\\config.sys", b, 14));  // 13 characters and the terminator
    EXPECT_EQ(0, MakeBackupPath("A:\\config.sys", b, 13));
    EXPECT_STREQ("", b);
    EXPECT_EQ(0, MakeBackupPath("sys", b, sizeof b));
    EXPECT_STREQ("", b);
    EXPECT_EQ(0, MakeBackupTempPath("A:\\config.sys", b, 13));
    EXPECT_STREQ("", b);
}

TEST(StartupFiles, SameFullPathIgnoresOnlyTheCaseOfAsciiLetters)
{
    const struct {
        const char* a;
        const char* b;
        bool same;
    } rows[] = {
        {"A:\\0000.dat", "A:\\0000.dat", true},
        {"a:\\0000.DAT", "A:\\0000.dat", true},
        {"A:\\KESTRAND.EXE", "a:\\kestrand.exe", true},
        {"A:\\0000.dat", "B:\\0000.dat", false},
        {"A:\\0000.dat", "A:\\kes\\0000.dat", false},
        {"A:\\0000.dat", "A:\\0000.da", false},
        {"A:\\0000.da", "A:\\0000.dat", false},
        {"A:\\0000.dat", "A:\\0000.dat ", false},
        {"A:\\[.dat", "A:\\{.dat", false},  // 0x5B and 0x7B differ by the case bit but are no letters
        {"A:\\@.dat", "A:\\`.dat", false},
        {"A:\\\xC4.dat", "A:\\\xE4.dat", false},  // the code page's letters are not folded
        {"", "", true},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.same, IsSameFullPath(row.a, row.b)) << row.a << " / " << row.b;
}
