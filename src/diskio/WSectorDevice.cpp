#include "diskio/WSectorDevice.h"

#include "diskio/rules/DiskIoRecords.h"

namespace {
HANDLE OpenDevice(const char* name)
{
    return CreateFileA(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The VWIN32 services live in a 32-bit system, where every address fits the 32-bit fields.
uint32_t FlatAddress(const void* p)
{
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p));
}
}  // namespace

WSectorDevice::WSectorDevice(int32_t driveNumber) : handle(INVALID_HANDLE_VALUE), mode(MODE_VWIN32), drive(driveNumber)
{
    // VWIN32 exists only on the 95/98/Me family; everywhere else the volume device is the way in.
    handle = OpenDevice("\\\\.\\vwin32");
    if (handle != INVALID_HANDLE_VALUE)
        return;
    mode = MODE_VOLUME;
    char name[32];
    wsprintfA(name, "\\\\.\\%c:", 'A' + drive);
    handle = OpenDevice(name);
    if (handle == INVALID_HANDLE_VALUE)
        mode = MODE_CLOSED;
}

int WSectorDevice::Vwin32Transfer(DWORD controlCode, uint32_t startSector, uint32_t count, const void* buffer)
{
    if (!DiskIoCountFits(count))
        return 0;
    DiskIoPacket packet = MakeDiskIoPacket(startSector, count, FlatAddress(buffer));
    DiocRegisters registers = MakeDiskIoRegisters(FlatAddress(&packet), drive);
    DWORD returned = 0;
    const BOOL ok = DeviceIoControl(handle, controlCode, &registers, sizeof registers, &registers,
                                    sizeof registers, &returned, nullptr);
    return DiskIoSucceeded(ok, registers);
}

int WSectorDevice::SeekVolume(uint32_t startSector, uint32_t count, DWORD* bytes)
{
    const uint64_t size = static_cast<uint64_t>(count) * SECTOR_SIZE;
    if (size > 0xFFFFFFFFu)
        return 0;  // one ReadFile/WriteFile cannot carry it
    *bytes = static_cast<DWORD>(size);
    // Offsets are 64-bit so that sectors beyond the first 4 GiB are reached, not wrapped onto others.
    const uint64_t offset = static_cast<uint64_t>(startSector) * SECTOR_SIZE;
    LONG high = static_cast<LONG>(offset >> 32);
    const DWORD low = SetFilePointer(handle, static_cast<LONG>(offset & 0xFFFFFFFFu), &high, FILE_BEGIN);
    // A failed seek would move the transfer to whatever sector the device was left at.
    return !(low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR);
}

int WSectorDevice::ReadSectors(uint32_t startSector, uint32_t count, void* buffer)
{
    if (mode == MODE_VWIN32)
        return Vwin32Transfer(VWIN32_DIOC_DOS_INT25, startSector, count, buffer);
    if (mode != MODE_VOLUME)
        return 0;
    DWORD bytes = 0;
    if (!SeekVolume(startSector, count, &bytes))
        return 0;
    DWORD transferred = 0;
    // A read that stops early (the end of the volume) leaves part of the buffer stale: a failure.
    return ReadFile(handle, buffer, bytes, &transferred, nullptr) && transferred == bytes;
}

int WSectorDevice::WriteSectors(uint32_t startSector, uint32_t count, const void* buffer)
{
    if (mode == MODE_VWIN32)
        return Vwin32Transfer(VWIN32_DIOC_DOS_INT26, startSector, count, buffer);
    if (mode != MODE_VOLUME)
        return 0;
    DWORD bytes = 0;
    if (!SeekVolume(startSector, count, &bytes))
        return 0;
    DWORD transferred = 0;
    return WriteFile(handle, buffer, bytes, &transferred, nullptr) && transferred == bytes;
}

void WSectorDevice::Close()
{
    if (mode != MODE_CLOSED)
        CloseHandle(handle);
    mode = MODE_CLOSED;
}
