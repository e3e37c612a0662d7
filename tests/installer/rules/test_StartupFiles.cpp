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
}
