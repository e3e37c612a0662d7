#include "installer/InstallSteps.h"

#include <windows.h>
#include <cstdio>
#include <cstring>

#include "diskio/WFile.h"
#include "diskio/WSectorDevice.h"
#include "installer/InstallError.h"
#include "installer/StartableDisk.h"
#include "installer/WProgressWindow.h"
#include "installer/rules/BootSector.h"
#include "installer/rules/DriveList.h"
#include "installer/rules/FileSystemCheck.h"
#include "installer/rules/StartupFiles.h"

namespace {
const char kNeedsFat16[] = "The FreeDos installation requires a FAT12/16 formatted disk!";
// The first line, the drive letter and the file system the volume reports (cut to fit).
const char kWrongFileSystem[] =
    "%s\nDrive %c: is formatted %.16s. Nothing on it was changed.\n"
    "Format it as FAT (Windows offers FAT for volumes of at most 4 GB), or make a smaller FAT partition.";
const char kNoDiskInfo[] = "Could not read disk information!";
const char kBootDatMissing[] = "Could not open boot.dat";
const char kReadBootSectorFailed[] =
    "Could not read the bootsector. Make sure no other application uses the disk.\n(eg. Explorer windows etc.)";
const char kWriteBootSectorFailed[] = "Could not write the bootsector";
const char kUpdateFailed[] = "Could not create/update %s";

// The refusal says what the disk holds, that nothing was changed, and what would do instead.
InstallError WrongFileSystem(const char* root, const char* found)
{
    char text[InstallError::TEXT_SIZE];
    snprintf(text, sizeof text, kWrongFileSystem, kNeedsFat16, root[0], found);
    return InstallError::DiskFault("%s", text);
}

// Rejects everything but FAT12 and FAT16 before anything is written to the disk.
void CheckFileSystem(const char* root)
{
    char fileSystem[64] = "";
    if (!GetVolumeInformationA(root, nullptr, 0, nullptr, nullptr, nullptr, fileSystem, sizeof fileSystem))
        throw InstallError::DiskFault(kNoDiskInfo);
    if (!HasFatName(fileSystem) || IsFat32Name(fileSystem))
        throw WrongFileSystem(root, fileSystem);
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    if (!GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters))
        throw InstallError::DiskFault(kNoDiskInfo);
    // A FAT32 volume reported only as "FAT" is still told apart by its size.
    if (!HasFat16ClusterCount(totalClusters))
        throw WrongFileSystem(root, "FAT32");
}

void ReadBootImage(WFile* file, uint8_t (&image)[kBootSectorSize])
{
    file->Open(">boot.dat", WF_READ);
    if (!file->IsOpen())
        throw InstallError::PackageFault(kBootDatMissing);
    const uint32_t n = file->Read(image, kBootSectorSize);
    file->Close();
    // A short image would put whatever the buffer held into the boot code of the disk.
    if (n != kBootSectorSize)
        throw InstallError::PackageFault(kBootDatMissing);
}

// Writes the parts one after the other; any failed or short write, or a failed close, is a failure
// (the file is closed either way).
int WriteParts(WFile* file, const char* const* parts)
{
    int ok = 1;
    for (; *parts && ok; ++parts) {
        const uint32_t length = static_cast<uint32_t>(strlen(*parts));
        ok = file->Write(*parts, length) == length && file->lastError == 0;
    }
    return file->Close() == 0 && ok;
}

// True when the file at `path` begins with the installer's marker line.
bool IsInstallersOwn(WFile* file, const char* path)
{
    char head[64];
    file->Open(path, WF_READ);
    if (!file->IsOpen())
        return false;
    const uint32_t n = file->Read(head, sizeof head);
    file->Close();
    return IsInstallerStartupFile(head, n) != 0;
}

// Clears the read-only attribute of a file of the installer's own (a backup or its temporary
// copy): Windows neither deletes nor replaces a read-only file. True when the file is missing or
// writable now.
bool MakeWritable(const char* path)
{
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY))
        return true;
    return SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_READONLY) != 0;
}

// Deletes a file of the installer's own; true when it is gone (or was never there).
bool RemoveOwnFile(const char* path)
{
    MakeWritable(path);
    return DeleteFileA(path) || GetLastError() == ERROR_FILE_NOT_FOUND;
}

// Gives the complete copy at `temp` the backup's name, over an older backup. Windows 95/98/Me
// export MoveFileExA but do not implement it; there the older backup is deleted first, when the
// complete copy is already on the disk beside the user's file.
bool PutBackupInPlace(const char* temp, const char* backup)
{
    if (!MakeWritable(backup))
        return false;
    if (MoveFileExA(temp, backup, MOVEFILE_REPLACE_EXISTING))
        return true;
    if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED)
        return false;
    return RemoveOwnFile(backup) && MoveFileA(temp, backup);
}

// Keeps the user's file as its .zeb backup before it is replaced. The copy is made under a
// temporary name first and only a complete copy takes the backup's name, so a disk too full for
// it keeps both the file and any older backup as they were. The backup is the installer's own
// file and never read-only, whatever the user's file is (CopyFileA copies the attribute), so that
// a later run can replace it; a temporary copy is never left behind. Returns false when no
// backup could be made; a missing file needs none, and neither does the installer's own file
// from an earlier run, whose backup already holds what the user had.
bool KeepBackup(WFile* file, const char* path)
{
    if (!FileExists(path) || IsInstallersOwn(file, path))
        return true;
    char backup[MAX_PATH];
    char temp[MAX_PATH];
    if (!MakeBackupPath(path, backup, sizeof backup) || !MakeBackupTempPath(path, temp, sizeof temp))
        return false;
    // A copy left by a run that was cut off could be read-only, and CopyFileA does not overwrite that.
    if (RemoveOwnFile(temp) && CopyFileA(path, temp, FALSE) && MakeWritable(temp) && PutBackupInPlace(temp, backup))
        return true;
    RemoveOwnFile(temp);
    return false;
}

// True unless the file exists and is read-only.
bool IsWritableOrMissing(const char* path)
{
    const DWORD attributes = GetFileAttributesA(path);
    return attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY);
}

// Writes the new contents of one start-up file; a failure is reported as the disk fault
// "Could not create/update <name>".
void RewriteStartupFile(WFile* file, const char* path, const char* name, const char* const* parts)
{
    file->Open(path, WF_WRITE);
    if (!file->IsOpen())
        throw InstallError::DiskFault(kUpdateFailed, name);
    if (!WriteParts(file, parts))
        throw InstallError::DiskFault(kUpdateFailed, name);
}

// True when `source` and `destination` are one file, as when the package is started from the disk
// it installs onto: that copy is already made.
bool IsAlreadyInPlace(const char* source, const char* destination)
{
    char a[MAX_PATH];
    char b[MAX_PATH];
    char* name;
    const DWORD n = GetFullPathNameA(source, sizeof a, a, &name);
    const DWORD m = GetFullPathNameA(destination, sizeof b, b, &name);
    return n > 0 && n < sizeof a && m > 0 && m < sizeof b && IsSameFullPath(a, b) &&
           GetFileAttributesA(b) != INVALID_FILE_ATTRIBUTES;
}
}  // namespace

int CopyPackageFile(WProgressWindow* progress, char drive, const char* source, const char* target)
{
    char text[WProgressWindow::STEP_TEXT_SIZE];
    snprintf(text, sizeof text, "Copying %s", target);
    progress->SetStep(text);
    const DrivePath destination = MakeDrivePath(drive, target);
    // A name that does not fit cannot be copied under its own name.
    if (!destination.fits)
        throw InstallError::PackageFault("Could not copy %s", target);
    // Copying a file onto itself fails; a missing file is no copy already made.
    if (IsAlreadyInPlace(source, destination.text))
        return 1;
    const BOOL copied = CopyFileA(source, destination.text, FALSE);
    if (!copied)
        throw InstallError::PackageFault("Could not copy %s", target);
    return copied;
}

void InstallFreeDos(WProgressWindow* progress, char drive, WFile* file)
{
    progress->SetStep("Retrieving disk info");
    progress->Show();
    CheckFileSystem(MakeDrivePath(drive, "").text);
    // Asked before anything is copied, and only of a volume FreeDOS can go on.
    MakeStickStartable(progress, drive);

    CopyPackageFile(progress, drive, "kernel._ys", "kernel.sys");
    CopyPackageFile(progress, drive, "command._om", "command.com");

    uint8_t image[kBootSectorSize];
    ReadBootImage(file, image);

    // The device closes itself when an error leaves this function early.
    WSectorDevice device(drive - 'A');
    uint8_t disk[kBootSectorSize];
    if (!device.ReadSectors(0, 1, disk))
        throw InstallError::DiskFault(kReadBootSectorFailed);
    MergeBootSector(image, disk);

    progress->SetStep("Writing boot sector");
    if (!device.WriteSectors(0, 1, image))
        throw InstallError::DiskFault(kWriteBootSectorFailed);
    // A disk that takes the write but keeps other bytes would not boot; only a read-back shows it.
    uint8_t check[kBootSectorSize];
    if (!device.ReadSectors(0, 1, check) || memcmp(check, image, kBootSectorSize) != 0)
        throw InstallError::DiskFault(kWriteBootSectorFailed);
    device.Close();
}

void UpdateStartupFiles(WProgressWindow* progress, char drive, WFile* file)
{
    CopyPackageFile(progress, drive, "ksstart._om", "ksstart.com");
    progress->Show();
    progress->SetStep("Updating config.sys");
    const DrivePath config = MakeDrivePath(drive, "config.sys");
    const DrivePath autoexec = MakeDrivePath(drive, "autoexec.bat");
    // Both backups are made, and both files found writable, before either file changes: the PC
    // never boots with one start-up file of the user's and one of ours.
    if (!KeepBackup(file, config.text))
        throw InstallError::DiskFault(kUpdateFailed, "config.sys");
    if (!KeepBackup(file, autoexec.text))
        throw InstallError::DiskFault(kUpdateFailed, "autoexec.bat");
    if (!IsWritableOrMissing(config.text))
        throw InstallError::DiskFault(kUpdateFailed, "config.sys");
    if (!IsWritableOrMissing(autoexec.text))
        throw InstallError::DiskFault(kUpdateFailed, "autoexec.bat");
    RewriteStartupFile(file, config.text, "config.sys", kConfigSysParts);
    progress->SetStep("Updating autoexec.bat");
    RewriteStartupFile(file, autoexec.text, "autoexec.bat", kAutoexecBatParts);
}
