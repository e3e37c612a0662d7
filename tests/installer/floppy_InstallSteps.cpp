// The boot-disk steps on a real disk image attached as drive A: (floppy_InstallSteps.sh makes the
// disk of each group, runs the group with --gtest_filter and checks the image with mtools).
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "diskio/WFile.h"
#include "framework/WApp.h"
#include "installer/InstallError.h"
#include "installer/InstallSteps.h"
#include "installer/WProgressWindow.h"

namespace {
class FrameworkEnvironment : public testing::Environment {
public:
    void SetUp() override { StartFramework(GetModuleHandleA(nullptr)); }
    void TearDown() override { StopFramework(GetModuleHandleA(nullptr)); }
};
testing::Environment* const kFramework = testing::AddGlobalTestEnvironment(new FrameworkEnvironment);

const char kNeedsFat16[] = "1The FreeDos installation requires a FAT12/16 formatted disk!";
// The refusal names what the disk holds (Wine reports a disk without FAT as NTFS).
const std::string kRefusal = " Nothing on it was changed.\nFormat it as FAT (Windows offers FAT for volumes of at "
                             "most 4 GB), or make a smaller FAT partition.";
const std::string kFat32Refusal = std::string(kNeedsFat16) + "\nDrive A: is formatted FAT32." + kRefusal;
const std::string kNtfsRefusal = std::string(kNeedsFat16) + "\nDrive A: is formatted NTFS." + kRefusal;
const char kMarker[] = "REM KESTRAND   ** DO NOT MODIFY **";
const char kAutoexec[] = "REM KESTRAND   ** DO NOT MODIFY **\r\n@echo off\r\nksstart.com";

std::string ReadAll(const char* path)
{
    HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string s;
    char buf[4096];
    DWORD n = 0;
    while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0)
        s.append(buf, n);
    CloseHandle(h);
    return s;
}

int CountFilesOnA()
{
    WIN32_FIND_DATAA d;
    HANDLE h = FindFirstFileA("A:\\*", &d);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    int n = 0;
    do {
        if (strcmp(d.cFileName, ".") != 0 && strcmp(d.cFileName, "..") != 0)
            ++n;
    } while (FindNextFileA(h, &d));
    FindClose(h);
    return n;
}

class InstallStepsTest : public testing::Test {
protected:
    void SetUp() override
    {
        progress.CreateHidden();
        ASSERT_NE(nullptr, progress.hwnd);
    }
    void TearDown() override
    {
        EXPECT_FALSE(file.IsOpen()) << "a step left the sequence's file open";
        file.Close();
        progress.Destroy();
    }
    // The error text a step threw, or "" when it returned normally.
    std::string Run(const std::function<void()>& step)
    {
        try {
            step();
        } catch (const InstallError& e) {
            return e.Text();
        }
        return "";
    }
    std::string FreeDos()
    {
        return Run([this] { InstallFreeDos(&progress, 'A', &file); });
    }
    std::string Startup()
    {
        return Run([this] { UpdateStartupFiles(&progress, 'A', &file); });
    }
    WProgressWindow progress;
    WFile file;
};
}  // namespace

// --- A 1.44 MB FAT12 floppy without start-up files.
TEST_F(InstallStepsTest, Fat12_CopyReplacesAndNamesTheTargetWhenTheSourceIsMissing)
{
    EXPECT_EQ("", Run([this] { CopyPackageFile(&progress, 'A', "command._om", "0000.dat"); }));
    EXPECT_EQ("", Run([this] { CopyPackageFile(&progress, 'A', "kernel._ys", "0000.dat"); }));
    EXPECT_EQ(ReadAll("kernel._ys"), ReadAll("A:\\0000.dat"));
    EXPECT_STREQ("Copying 0000.dat", progress.stepText);
    EXPECT_EQ("2Could not copy 0300.dat", Run([this] { CopyPackageFile(&progress, 'A', "0300.dat", "0300.dat"); }));
    EXPECT_EQ("<missing>", ReadAll("A:\\0300.dat"));
    EXPECT_TRUE(DeleteFileA("A:\\0000.dat"));
}

TEST_F(InstallStepsTest, Fat12_FreeDosThenStartupFiles)
{
    // The files and the boot sector are checked on the image by the script.
    ASSERT_EQ("", FreeDos());
    EXPECT_STREQ("Writing boot sector", progress.stepText);
    EXPECT_TRUE(IsWindowVisible(progress.hwnd));
    ASSERT_EQ("", Startup());
    EXPECT_STREQ("Updating autoexec.bat", progress.stepText);
}

// --- A FAT12 floppy that holds config.sys and autoexec.bat already (the Modify path).
TEST_F(InstallStepsTest, OldStartupFiles_KeptAsBackupsThatASecondRunLeavesAlone)
{
    const std::string oldConfig = ReadAll("A:\\config.sys");
    const std::string oldAutoexec = ReadAll("A:\\autoexec.bat");
    ASSERT_NE("<missing>", oldConfig);
    ASSERT_NE("<missing>", oldAutoexec);
    ASSERT_EQ("", Startup());
    EXPECT_EQ(oldConfig, ReadAll("A:\\config.zeb"));
    EXPECT_EQ(oldAutoexec, ReadAll("A:\\autoexec.zeb"));
    EXPECT_EQ(kMarker, ReadAll("A:\\config.sys"));
    EXPECT_EQ(kAutoexec, ReadAll("A:\\autoexec.bat"));
    // The files are the installer's own now: a second run keeps the backups of the user's.
    ASSERT_EQ("", Startup());
    EXPECT_EQ(oldConfig, ReadAll("A:\\config.zeb"));
    EXPECT_EQ(oldAutoexec, ReadAll("A:\\autoexec.zeb"));
}

// --- A FAT16 disk.
TEST_F(InstallStepsTest, Fat16_FreeDosInstalls)
{
    EXPECT_EQ("", FreeDos());
}

// --- A FAT32 disk and a disk without a FAT file system: nothing may be written to them.
TEST_F(InstallStepsTest, Fat32_RejectedByItsClusterCount)
{
    const std::string e = FreeDos();
    EXPECT_EQ(kFat32Refusal, e);
    EXPECT_EQ(0, CountFilesOnA());
}

TEST_F(InstallStepsTest, NotFat_RejectedByItsName)
{
    EXPECT_EQ(kNtfsRefusal, FreeDos());
    EXPECT_EQ(0, CountFilesOnA());
    // The file-system test ran with its step on the screen: the window was painted when it was
    // shown, not left for a message loop that does not run during the steps.
    EXPECT_STREQ("Retrieving disk info", progress.stepText);
    EXPECT_TRUE(IsWindowVisible(progress.hwnd));
    EXPECT_FALSE(GetUpdateRect(progress.hwnd, nullptr, FALSE));
}

// --- Sector faults on a FAT12 floppy.
TEST_F(InstallStepsTest, SectorReadFails_WhenTheDiskGoesAwayAfterTheFileSystemTest)
{
    // The script takes the disk's raw device away while boot.dat is being read, that is after
    // the file-system test has read the disk's boot sector.
    EXPECT_EQ("1Could not read the bootsector. Make sure no other application uses the disk.\n"
              "(eg. Explorer windows etc.)",
              FreeDos());
    EXPECT_STREQ("Copying command.com", progress.stepText);
    EXPECT_EQ(ReadAll("kernel._ys"), ReadAll("A:\\kernel.sys"));
    EXPECT_EQ(ReadAll("command._om"), ReadAll("A:\\command.com"));
}

TEST_F(InstallStepsTest, SectorWriteFails_OnAWriteProtectedDevice)
{
    EXPECT_EQ("1Could not write the bootsector", FreeDos());
    EXPECT_STREQ("Writing boot sector", progress.stepText);
}

// --- A FAT12 floppy whose files drive has room for little.
TEST_F(InstallStepsTest, DiskFull_KernelCannotBeCopied)
{
    EXPECT_EQ("2Could not copy kernel.sys", FreeDos());
}

TEST_F(InstallStepsTest, DiskFull_AutoexecCannotBeWritten)
{
    // ksstart.com and config.sys fill the disk; autoexec.bat opens but its write fails.
    EXPECT_EQ("1Could not create/update autoexec.bat", Startup());
    EXPECT_EQ(kMarker, ReadAll("A:\\config.sys"));
}

// --- A FAT12 disk as drive E: (a USB stick, say), and no drive A: at all.
TEST_F(InstallStepsTest, DriveE_FreeDosInstallsThroughItsOwnVolume)
{
    ASSERT_EQ("", Run([this] { InstallFreeDos(&progress, 'E', &file); }));
    EXPECT_STREQ("Writing boot sector", progress.stepText);
    EXPECT_EQ(ReadAll("kernel._ys"), ReadAll("E:\\kernel.sys"));
}

// --- A FAT12 floppy and a boot.dat shorter than a sector.
TEST_F(InstallStepsTest, ShortBootDat_Refused)
{
    EXPECT_EQ("2Could not open boot.dat", FreeDos());
    EXPECT_STREQ("Copying command.com", progress.stepText);
}
