#pragma once
// WSectorDevice: whole 512-byte sectors of one drive, through the VWIN32 device on the
// Windows 95/98/Me family or through the drive's volume device ("\\.\A:") on the NT family.
#include <windows.h>
#include <cstdint>

class WSectorDevice {
public:
    enum : int32_t { MODE_VWIN32 = 0, MODE_VOLUME = 1, MODE_CLOSED = -1 };
    enum : uint32_t { SECTOR_SIZE = 512 };

    // Opens the drive (0 = A). Reports nothing: a drive that could not be opened is left with
    // `mode` MODE_CLOSED and its first transfer fails.
    explicit WSectorDevice(int32_t driveNumber);
    ~WSectorDevice() { Close(); }
    WSectorDevice(const WSectorDevice&) = delete;
    WSectorDevice& operator=(const WSectorDevice&) = delete;

    // 1 when all `count` sectors were transferred, else 0; the buffer holds count * 512 bytes.
    int ReadSectors(uint32_t startSector, uint32_t count, void* buffer);
    int WriteSectors(uint32_t startSector, uint32_t count, const void* buffer);
    void Close();

    HANDLE handle;
    int32_t mode;
    int32_t drive;

private:
    int Vwin32Transfer(DWORD controlCode, uint32_t startSector, uint32_t count, const void* buffer);
    // Positions the volume device at the sector; the byte size of the transfer comes back in
    // `bytes`. 0 when the sector range cannot be addressed.
    int SeekVolume(uint32_t startSector, uint32_t count, DWORD* bytes);
};
