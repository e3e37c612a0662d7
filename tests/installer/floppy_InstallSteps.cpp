// The boot-disk steps on a real disk image attached as drive A: (floppy_InstallSteps.sh makes the
// disk of each group, runs the group with --gtest_filter and checks the image with mtools).
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "diskio/WFile.h"
#include "framework/ImportHook.h"
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

void Put(const char* path, const char* text, DWORD attributes = FILE_ATTRIBUTE_NORMAL)
{
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    HANDLE h = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h) << path;
    DWORD n = 0;
    WriteFile(h, text, static_cast<DWORD>(strlen(text)), &n, nullptr);
    CloseHandle(h);
    SetFileAttributesA(path, attributes);
}

bool IsReadOnly(const char* path)
{
    const DWORD a = GetFileAttributesA(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY) != 0;
}

// The user's start-up files as the script puts them on the disk, and an older backup of config.sys.
const char kUserConfig[] = "DEVICE=HIMEM.SYS\r\nFILES=30\r\n";
const char kUserAutoexec[] = "@ECHO OFF\r\nPROMPT $P$G\r\n";
const char kOlderBackup[] = "FILES=20\r\n";

// Windows refuses to open a read-only file for writing, to copy over one and to move a file over
// one; Wine run as root does some of it all the same. While this object lives, the steps get
// Windows' answers.
class WindowsReadOnlyRules {
public:
    WindowsReadOnlyRules()
        : create("kernel32.dll", "CreateFileA", reinterpret_cast<void*>(&Create)),
          copy("kernel32.dll", "CopyFileA", reinterpret_cast<void*>(&Copy)),
          move("kernel32.dll", "MoveFileExA", reinterpret_cast<void*>(&Move))
    {
        createOriginal = create.Original<decltype(&CreateFileA)>();
        copyOriginal = copy.Original<decltype(&CopyFileA)>();
        moveOriginal = move.Original<decltype(&MoveFileExA)>();
    }
    bool Installed() const { return create.Installed() && copy.Installed() && move.Installed(); }

private:
    static bool Refused(const char* path)
    {
        if (!IsReadOnly(path))
            return false;
        SetLastError(ERROR_ACCESS_DENIED);
        return true;
    }
    static HANDLE WINAPI Create(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                DWORD disposition, DWORD flags, HANDLE templateFile)
    {
        if ((access & (GENERIC_WRITE | GENERIC_ALL)) && Refused(name))
            return INVALID_HANDLE_VALUE;
        return createOriginal(name, access, share, security, disposition, flags, templateFile);
    }
    static BOOL WINAPI Copy(LPCSTR from, LPCSTR to, BOOL failIfExists)
    {
        return !Refused(to) && copyOriginal(from, to, failIfExists);
    }
    static BOOL WINAPI Move(LPCSTR from, LPCSTR to, DWORD flags)
    {
        return !Refused(to) && moveOriginal(from, to, flags);
    }
    static decltype(&CreateFileA) createOriginal;
    static decltype(&CopyFileA) copyOriginal;
    static decltype(&MoveFileExA) moveOriginal;
    ImportHook create;
    ImportHook copy;
    ImportHook move;
};
decltype(&CreateFileA) WindowsReadOnlyRules::createOriginal;
decltype(&CopyFileA) WindowsReadOnlyRules::copyOriginal;
decltype(&MoveFileExA) WindowsReadOnlyRules::moveOriginal;

// MoveFileExA failing with one error code, as on Windows 95/98/Me (not implemented) or on a disk
// that refuses the rename. Every deletion of a backup (*.zeb) is recorded with whether its
// complete temporary copy (*.ze$) was on the disk at that moment.
class FailingMove {
public:
    explicit FailingMove(DWORD error)
        : move("kernel32.dll", "MoveFileExA", reinterpret_cast<void*>(&Move)),
          remove("kernel32.dll", "DeleteFileA", reinterpret_cast<void*>(&Delete))
    {
        code = error;
        removeOriginal = remove.Original<decltype(&DeleteFileA)>();
        deletions.clear();
    }
    bool Installed() const { return move.Installed() && remove.Installed(); }
    static std::vector<std::string> deletions;

private:
    static BOOL WINAPI Move(LPCSTR, LPCSTR, DWORD)
    {
        SetLastError(code);
        return FALSE;
    }
    static BOOL WINAPI Delete(LPCSTR path)
    {
        std::string name = path;
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".zeb") == 0) {
            const std::string temp = name.substr(0, name.size() - 1) + "$";
            const bool config = name.find("config") != std::string::npos;
            const std::string user = name.substr(0, name.size() - 4) + (config ? ".sys" : ".bat");
            const bool complete = ReadAll(temp.c_str()) == ReadAll(user.c_str());
            deletions.push_back(name + (complete ? " after its copy" : " before its copy"));
        }
        return removeOriginal(path);
    }
    static DWORD code;
    static decltype(&DeleteFileA) removeOriginal;
    ImportHook move;
    ImportHook remove;
};
std::vector<std::string> FailingMove::deletions;
DWORD FailingMove::code;
decltype(&DeleteFileA) FailingMove::removeOriginal;

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
    // A package started from the disk: its files are the targets themselves, already copied.
    EXPECT_EQ("", Run([this] { CopyPackageFile(&progress, 'A', "a:\\0000.DAT", "0000.dat"); }));
    EXPECT_EQ(ReadAll("kernel._ys"), ReadAll("A:\\0000.dat"));
    EXPECT_EQ("2Could not copy 0300.dat", Run([this] { CopyPackageFile(&progress, 'A', "A:\\0300.dat", "0300.dat"); }));
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

// --- A FAT12 floppy on which each test puts the user's start-up files itself.
class UserStartupFilesTest : public InstallStepsTest {
protected:
    // The user's two files, an older read-only backup of config.sys, and a read-only temporary
    // copy that a run cut off at the wrong moment left behind.
    void SetUp() override
    {
        InstallStepsTest::SetUp();
        Put("A:\\config.sys", kUserConfig);
        Put("A:\\autoexec.bat", kUserAutoexec);
        Put("A:\\config.zeb", kOlderBackup, FILE_ATTRIBUTE_READONLY);
        Put("A:\\config.ze$", "half a cop", FILE_ATTRIBUTE_READONLY);
        SetFileAttributesA("A:\\autoexec.zeb", FILE_ATTRIBUTE_NORMAL);
        DeleteFileA("A:\\autoexec.zeb");
    }
    void ExpectUserFilesUnchanged()
    {
        EXPECT_EQ(kUserConfig, ReadAll("A:\\config.sys"));
        EXPECT_EQ(kUserAutoexec, ReadAll("A:\\autoexec.bat"));
    }
    // Backups of the user's files, writable, and no temporary copy left.
    void ExpectBackupsMade()
    {
        EXPECT_EQ(kUserConfig, ReadAll("A:\\config.zeb"));
        EXPECT_EQ(kUserAutoexec, ReadAll("A:\\autoexec.zeb"));
        EXPECT_FALSE(IsReadOnly("A:\\config.zeb"));
        EXPECT_FALSE(IsReadOnly("A:\\autoexec.zeb"));
        ExpectNoTemporaryCopies();
    }
    void ExpectNoTemporaryCopies()
    {
        EXPECT_EQ("<missing>", ReadAll("A:\\config.ze$"));
        EXPECT_EQ("<missing>", ReadAll("A:\\autoexec.ze$"));
    }
};

TEST_F(UserStartupFilesTest, ReadOnlyConfigSys_StopsWithBothBackupsMade_AndASecondRunCompletes)
{
    WindowsReadOnlyRules windows;
    ASSERT_TRUE(windows.Installed());
    SetFileAttributesA("A:\\config.sys", FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ("1Could not create/update config.sys", Startup());
    ExpectUserFilesUnchanged();
    ExpectBackupsMade();
    // Once the user clears the attribute, nothing of the first run stands in the way.
    SetFileAttributesA("A:\\config.sys", FILE_ATTRIBUTE_NORMAL);
    ASSERT_EQ("", Startup());
    EXPECT_EQ(kMarker, ReadAll("A:\\config.sys"));
    EXPECT_EQ(kAutoexec, ReadAll("A:\\autoexec.bat"));
    ExpectBackupsMade();
}

TEST_F(UserStartupFilesTest, ReadOnlyAutoexecBat_StopsBeforeConfigSysChanges)
{
    WindowsReadOnlyRules windows;
    ASSERT_TRUE(windows.Installed());
    SetFileAttributesA("A:\\autoexec.bat", FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ("1Could not create/update autoexec.bat", Startup());
    SetFileAttributesA("A:\\autoexec.bat", FILE_ATTRIBUTE_NORMAL);
    ExpectUserFilesUnchanged();
    ExpectBackupsMade();
}

// Windows 95/98/Me: MoveFileExA is there but not implemented. The older backup is deleted only
// when the complete copy is on the disk; a missing backup is no obstacle.
TEST_F(UserStartupFilesTest, MoveFileExNotImplemented_BackupsReplacedAnotherWay)
{
    FailingMove nineX(ERROR_CALL_NOT_IMPLEMENTED);
    ASSERT_TRUE(nineX.Installed());
    ASSERT_EQ("", Startup());
    EXPECT_EQ(kMarker, ReadAll("A:\\config.sys"));
    EXPECT_EQ(kAutoexec, ReadAll("A:\\autoexec.bat"));
    ExpectBackupsMade();
    const std::vector<std::string> deletions = {"A:\\config.zeb after its copy", "A:\\autoexec.zeb after its copy"};
    EXPECT_EQ(deletions, FailingMove::deletions);
}

// Any other failure of the move is a failure: the older backup stays and nothing else changes.
TEST_F(UserStartupFilesTest, MoveFileExRefused_OlderBackupKept)
{
    FailingMove refused(ERROR_SHARING_VIOLATION);
    ASSERT_TRUE(refused.Installed());
    EXPECT_EQ("1Could not create/update config.sys", Startup());
    ExpectUserFilesUnchanged();
    EXPECT_EQ(kOlderBackup, ReadAll("A:\\config.zeb"));
    EXPECT_EQ("<missing>", ReadAll("A:\\autoexec.zeb"));
    EXPECT_TRUE(FailingMove::deletions.empty());
    ExpectNoTemporaryCopies();
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
