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

// Keeps the user's file as its .zeb backup before it is replaced. The copy is made under a
// temporary name first and only a complete copy takes the backup's name, so a disk too full for
// it keeps both the file and any older backup as they were. Returns false when no backup could
// be made; a missing file needs none, and neither does the installer's own file from an earlier
// run, whose backup already holds what the user had.
bool KeepBackup(WFile* file, const char* path)
{
    if (!FileExists(path) || IsInstallersOwn(file, path))
        return true;
    char backup[MAX_PATH];
    char temp[MAX_PATH];
    if (!MakeBackupPath(path, backup, sizeof backup) || !MakeBackupTempPath(path, temp, sizeof temp))
        return false;
    if (CopyFileA(path, temp, FALSE) && MoveFileExA(temp, backup, MOVEFILE_REPLACE_EXISTING))
        return true;
    DeleteFileA(temp);
    return false;
}

// Writes the new contents after keeping the old file as its backup; a failure is reported as the
// disk fault "Could not create/update <name>", and a file whose backup could not be made is left
// untouched.
void ReplaceStartupFile(WFile* file, char drive, const char* name, const char* const* parts)
{
    const DrivePath path = MakeDrivePath(drive, name);
    if (!KeepBackup(file, path.text))
        throw InstallError::DiskFault(kUpdateFailed, name);
    file->Open(path.text, WF_WRITE);
    if (!file->IsOpen())
        throw InstallError::DiskFault(kUpdateFailed, name);
    if (!WriteParts(file, parts))
        throw InstallError::DiskFault(kUpdateFailed, name);
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
    ReplaceStartupFile(file, drive, "config.sys", kConfigSysParts);
    progress->SetStep("Updating autoexec.bat");
    ReplaceStartupFile(file, drive, "autoexec.bat", kAutoexecBatParts);
}
