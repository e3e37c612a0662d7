#include "installer/StartableDisk.h"

#include <windows.h>
#include <winioctl.h>
#include <cstdio>
#include <cstring>

#include "StickMbrCode.h"
#include "dialogs/WMessageDialog.h"
#include "diskio/WSectorDevice.h"
#include "installer/InstallError.h"
#include "installer/WProgressWindow.h"
#include "installer/rules/InstallTexts.h"
#include "installer/rules/MasterBootRecord.h"

namespace {
// A device handle closed by scope.
class ScopedDevice {
public:
    explicit ScopedDevice(const char* name, DWORD access)
        : handle(CreateFileA(name, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr))
    {
    }
    ~ScopedDevice()
    {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
    ScopedDevice(const ScopedDevice&) = delete;
    ScopedDevice& operator=(const ScopedDevice&) = delete;
    bool IsOpen() const { return handle != INVALID_HANDLE_VALUE; }
    const HANDLE handle;
};

uint32_t Le32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

bool IsNineX()
{
    return (GetVersion() & 0x80000000u) != 0;
}

// The hidden sectors of the volume's own parameter block; false when sector 0 of the volume
// cannot be read or holds no parameter block of 512-byte sectors.
bool VolumeHiddenSectors(char drive, uint32_t* hidden)
{
    WSectorDevice volume(drive - 'A');
    uint8_t boot[kMbrSize];
    if (!volume.ReadSectors(0, 1, boot))
        return false;
    if (boot[510] != 0x55 || boot[511] != 0xAA || boot[11] != 0x00 || boot[12] != 0x02)
        return false;
    *hidden = Le32(boot + 28);
    return true;
}

// The disk that holds the volume, and where on it the volume lies (length 0: not told).
bool DiskOfVolume(char drive, DWORD* disk, uint64_t* offset, uint64_t* length)
{
    char name[8];
    wsprintfA(name, "\\\\.\\%c:", drive);
    ScopedDevice volume(name, GENERIC_READ);
    if (!volume.IsOpen())
        return false;
    // Room for a few extents: a volume on one stick has one.
    union {
        VOLUME_DISK_EXTENTS extents;
        uint8_t room[sizeof(VOLUME_DISK_EXTENTS) + 3 * sizeof(DISK_EXTENT)];
    } answer;
    DWORD got = 0;
    if (DeviceIoControl(volume.handle, IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, nullptr, 0, &answer, sizeof answer,
                        &got, nullptr)) {
        // A volume spread over several disks is nothing a stick holds.
        if (answer.extents.NumberOfDiskExtents != 1)
            return false;
        *disk = answer.extents.Extents[0].DiskNumber;
        *offset = static_cast<uint64_t>(answer.extents.Extents[0].StartingOffset.QuadPart);
        *length = static_cast<uint64_t>(answer.extents.Extents[0].ExtentLength.QuadPart);
        return true;
    }
    STORAGE_DEVICE_NUMBER number;
    if (DeviceIoControl(volume.handle, IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, &number, sizeof number, &got,
                        nullptr)) {
        *disk = number.DeviceNumber;
        *offset = 0;
        *length = 0;
        return true;
    }
    return false;
}

bool ReadDiskSector(HANDLE disk, uint64_t sector, uint8_t (&buffer)[kMbrSize])
{
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(sector * kMbrSize);
    LONG high = at.HighPart;
    if (SetFilePointer(disk, static_cast<LONG>(at.LowPart), &high, FILE_BEGIN) == INVALID_SET_FILE_POINTER &&
        GetLastError() != NO_ERROR)
        return false;
    DWORD got = 0;
    return ReadFile(disk, buffer, kMbrSize, &got, nullptr) && got == kMbrSize;
}

bool WriteDiskSector0(HANDLE disk, const uint8_t (&buffer)[kMbrSize])
{
    if (SetFilePointer(disk, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
        return false;
    DWORD put = 0;
    return WriteFile(disk, buffer, kMbrSize, &put, nullptr) && put == kMbrSize;
}

// True when the system says the disk is a fixed one.
bool IsFixedDisk(HANDLE disk)
{
    DISK_GEOMETRY geometry;
    DWORD got = 0;
    return DeviceIoControl(disk, IOCTL_DISK_GET_DRIVE_GEOMETRY, nullptr, 0, &geometry, sizeof geometry, &got,
                           nullptr) &&
           geometry.MediaType == FixedMedia;
}

// The size of the disk in sectors, as the system tells it; where it does not (Windows before XP,
// Wine), the farthest end of the table's entries counts when the sector before it can be read,
// which is all the checks need: that no entry reaches past the disk. 0 when unknown.
uint64_t DiskSectors(HANDLE disk, const uint8_t (&mbr)[kMbrSize])
{
    GET_LENGTH_INFORMATION info;
    DWORD got = 0;
    if (DeviceIoControl(disk, IOCTL_DISK_GET_LENGTH_INFO, nullptr, 0, &info, sizeof info, &got, nullptr) &&
        info.Length.QuadPart > 0)
        return static_cast<uint64_t>(info.Length.QuadPart) / kMbrSize;
    uint64_t end = 0;
    for (int n = 0; n < kMbrEntries; ++n) {
        const uint8_t* e = mbr + kMbrTableOffset + n * kMbrEntrySize;
        const uint64_t last = static_cast<uint64_t>(Le32(e + 8)) + Le32(e + 12);
        if (e[4] != 0 && last > end)
            end = last;
    }
    uint8_t probe[kMbrSize];
    return end > 0 && ReadDiskSector(disk, end - 1, probe) ? end : 0;
}

const char* LeftAloneReason(MbrState state)
{
    switch (state) {
    case MBR_GPT: return kMbrGpt;
    case MBR_NO_ENTRY: return kMbrNoEntry;
    case MBR_PAST_DISK: return kMbrPastDisk;
    case MBR_OVERLAP: return kMbrOverlap;
    default: return kMbrNotAnMbr;
    }
}

int AskAbout(WProgressWindow* progress, const char* format, char drive, const char* reason, const char* buttons,
             const char* icon)
{
    char text[640];
    snprintf(text, sizeof text, format, drive, reason);
    progress->Hide();
    const int choice = WMessageDialog::Show(nullptr, text, kInstallerCaption, icon, buttons, nullptr, nullptr,
                                            nullptr, 0);
    progress->Show();
    return choice;
}

// Nothing is written; the user decides whether to install on a stick that may not start.
void LeaveAlone(WProgressWindow* progress, char drive, const char* reason)
{
    if (AskAbout(progress, kMbrLeftAloneText, drive, reason, kContinueAbort, IDI_EXCLAMATION) != ANSWER_CONTINUE)
        throw InstallError::Abort();
}
}  // namespace

void MakeStickStartable(WProgressWindow* progress, char drive)
{
    if (IsNineX())
        return;
    uint32_t hidden = 0;
    // A volume from sector 0 (a floppy, a stick without partitions) starts from its own boot sector.
    if (!VolumeHiddenSectors(drive, &hidden) || hidden == 0)
        return;
    DWORD diskNumber = 0;
    uint64_t offset = 0, length = 0;
    uint32_t first = 0;
    if (!DiskOfVolume(drive, &diskNumber, &offset, &length))
        return LeaveAlone(progress, drive, kMbrNoDisk);
    if (!VolumeFirstSector(hidden, offset, length, &first))
        return LeaveAlone(progress, drive, kMbrNoEntry);
    char name[32];
    wsprintfA(name, "\\\\.\\PhysicalDrive%lu", static_cast<unsigned long>(diskNumber));
    ScopedDevice disk(name, GENERIC_READ | GENERIC_WRITE);
    uint8_t mbr[kMbrSize];
    if (!disk.IsOpen() || !ReadDiskSector(disk.handle, 0, mbr))
        return LeaveAlone(progress, drive, kMbrNoDisk);
    if (IsFixedDisk(disk.handle))
        return LeaveAlone(progress, drive, kMbrFixedDisk);
    const MbrReading reading = ReadMasterBootRecord(mbr, first, DiskSectors(disk.handle, mbr));
    if (reading.state == MBR_STARTABLE)
        return;
    if (reading.state != MBR_NEEDS_CHANGE)
        return LeaveAlone(progress, drive, LeftAloneReason(reading.state));

    const char* reason = !reading.active ? (reading.hasCode ? kMbrNotActive : kMbrNotActiveNoCode) : kMbrNoCode;
    if (AskAbout(progress, kStartableText, drive, reason, kStartableButtons, IDI_QUESTION) != ANSWER_MAKE_STARTABLE)
        return;
    progress->SetStep("Making the stick startable");
    uint8_t updated[kMbrSize];
    memcpy(updated, mbr, sizeof mbr);
    MakeStartable(updated, reading, kStickMbrCode);
    if (!WriteDiskSector0(disk.handle, updated))
        throw InstallError::DiskFault(kMbrWriteFailed);
    uint8_t check[kMbrSize];
    if (!ReadDiskSector(disk.handle, 0, check) || memcmp(check, updated, sizeof check) != 0)
        throw InstallError::DiskFault(kMbrReadBackFailed);
}
