// WSectorDevice without a disk: the system calls are replaced through the import table, so the
// VWIN32 path of the 95/98/Me family runs here too, and the volume path meets faults at will.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "diskio/WSectorDevice.h"
#include "diskio/rules/DiskIoRecords.h"
#include "framework/ImportHook.h"

namespace {

const HANDLE FAKE_DEVICE = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(0x5150));

// What the fakes answer, and what they saw.
struct Fake {
    std::vector<std::string> opened;  // every CreateFileA name, in order
    std::string device;               // the one name that opens; any other fails
    std::vector<DWORD> codes;         // DeviceIoControl control codes
    DWORD inSize, outSize;
    DiocRegisters registers;          // the block as given
    DiskIoPacket packet;              // the packet EBX pointed to
    bool packetSeen;
    BOOL ioResult;
    uint32_t returnedFlags;           // Flags in the returned block
    DWORD shortBy;                    // bytes the volume's ReadFile/WriteFile leave undone
    int closed;
} fake;
ImportHook* originalCloseHandle;

HANDLE WINAPI FakeCreateFileA(LPCSTR name, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE)
{
    fake.opened.push_back(name);
    if (fake.device == name)
        return FAKE_DEVICE;
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
}

BOOL WINAPI FakeDeviceIoControl(HANDLE handle, DWORD code, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize,
                                LPDWORD returned, LPOVERLAPPED)
{
    EXPECT_EQ(FAKE_DEVICE, handle);
    fake.codes.push_back(code);
    fake.inSize = inSize;
    fake.outSize = outSize;
    memcpy(&fake.registers, in, sizeof fake.registers);
    // EBX holds the packet's flat 32-bit address. The packet lies on this thread's stack, a few
    // frames above this one, and is read only when the stack lies well below 4 GiB (as it does here).
    volatile char here = 0;
    fake.packetSeen = reinterpret_cast<uintptr_t>(&here) < 0xFFF00000u;
    if (fake.packetSeen)
        memcpy(&fake.packet, reinterpret_cast<void*>(static_cast<uintptr_t>(fake.registers.ebx)), sizeof fake.packet);
    auto* block = static_cast<DiocRegisters*>(out);
    block->flags = fake.returnedFlags;
    *returned = sizeof(DiocRegisters);
    return fake.ioResult;
}

DWORD WINAPI FakeSetFilePointer(HANDLE, LONG low, PLONG, DWORD)
{
    return static_cast<DWORD>(low);
}

BOOL WINAPI FakeReadFile(HANDLE, LPVOID, DWORD count, LPDWORD done, LPOVERLAPPED)
{
    *done = count - fake.shortBy;
    return TRUE;
}

BOOL WINAPI FakeWriteFile(HANDLE, LPCVOID, DWORD count, LPDWORD done, LPOVERLAPPED)
{
    *done = count - fake.shortBy;
    return TRUE;
}

BOOL WINAPI FakeCloseHandle(HANDLE handle)
{
    if (handle == FAKE_DEVICE) {
        ++fake.closed;
        return TRUE;
    }
    return originalCloseHandle->Original<decltype(&CloseHandle)>()(handle);
}

class SectorDeviceTest : public testing::Test {
protected:
    void SetUp() override
    {
        fake = Fake{};
        fake.ioResult = TRUE;
        originalCloseHandle = &closeHandle;
        for (ImportHook* h : {&createFile, &deviceIo, &seek, &read, &write, &closeHandle})
            ASSERT_TRUE(h->Installed());
    }
    ImportHook createFile{"kernel32.dll", "CreateFileA", reinterpret_cast<void*>(FakeCreateFileA)};
    ImportHook deviceIo{"kernel32.dll", "DeviceIoControl", reinterpret_cast<void*>(FakeDeviceIoControl)};
    ImportHook seek{"kernel32.dll", "SetFilePointer", reinterpret_cast<void*>(FakeSetFilePointer)};
    ImportHook read{"kernel32.dll", "ReadFile", reinterpret_cast<void*>(FakeReadFile)};
    ImportHook write{"kernel32.dll", "WriteFile", reinterpret_cast<void*>(FakeWriteFile)};
    ImportHook closeHandle{"kernel32.dll", "CloseHandle", reinterpret_cast<void*>(FakeCloseHandle)};
};

TEST_F(SectorDeviceTest, Vwin32IsTriedFirstAndCarriesThePacketInTheRegisterBlock)
{
    fake.device = "\\\\.\\vwin32";
    char buffer[3 * 512];
    {
        WSectorDevice device(2);  // C:
        EXPECT_EQ((std::vector<std::string>{"\\\\.\\vwin32"}), fake.opened) << "the volume is not even tried";
        EXPECT_EQ(WSectorDevice::MODE_VWIN32, device.mode);

        static const struct {
            bool write;
            BOOL ioResult;
            uint32_t flags;  // returned Flags; bit 0 is the carry
            int result;
        } rows[] = {
            {false, TRUE, 0, 1},
            {true, TRUE, 0x46, 1},  // other flags do not matter
            {false, TRUE, 1, 0},    // carry: the service failed
            {true, TRUE, 0x47, 0},
            {false, FALSE, 0, 0},   // the device call itself failed
        };
        for (const auto& row : rows) {
            SCOPED_TRACE(testing::Message() << (row.write ? "write" : "read") << " flags " << row.flags);
            fake.codes.clear();
            fake.ioResult = row.ioResult;
            fake.returnedFlags = row.flags;
            const int result = row.write ? device.WriteSectors(0x12345, 3, buffer) : device.ReadSectors(0x12345, 3, buffer);
            EXPECT_EQ(row.result, result);
            ASSERT_EQ(1u, fake.codes.size());
            EXPECT_EQ(row.write ? 3u : 2u, fake.codes[0]) << "INT 26h writes, INT 25h reads";
            EXPECT_EQ(28u, fake.inSize);
            EXPECT_EQ(28u, fake.outSize);
            EXPECT_EQ(0xFFFFu, fake.registers.ecx);
            EXPECT_EQ(2u, fake.registers.eax) << "the drive number, 0 = A";
            ASSERT_TRUE(fake.packetSeen);
            EXPECT_EQ(0x12345u, fake.packet.startSector);
            EXPECT_EQ(3u, fake.packet.sectorCount);
            EXPECT_EQ(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(buffer)), fake.packet.buffer);
        }
        // A count the packet cannot carry whole is refused before the service is called.
        fake.codes.clear();
        fake.returnedFlags = 0;
        fake.ioResult = TRUE;
        EXPECT_EQ(0, device.ReadSectors(0, 0x10000, buffer));
        EXPECT_TRUE(fake.codes.empty());
    }
    EXPECT_EQ(1, fake.closed);
}

TEST_F(SectorDeviceTest, WithoutVwin32TheDrivesOwnVolumeIsOpened)
{
    for (int drive : {0, 1, 3, 25}) {
        fake = Fake{};
        const std::string volume = std::string("\\\\.\\") + static_cast<char>('A' + drive) + ":";
        fake.device = volume;
        {
            WSectorDevice device(drive);
            EXPECT_EQ((std::vector<std::string>{"\\\\.\\vwin32", volume}), fake.opened);
            EXPECT_EQ(WSectorDevice::MODE_VOLUME, device.mode);
        }
        EXPECT_EQ(1, fake.closed);
    }
    fake = Fake{};
    WSectorDevice none(1);
    EXPECT_EQ(WSectorDevice::MODE_CLOSED, none.mode);
    char buffer[512];
    EXPECT_EQ(0, none.ReadSectors(0, 1, buffer));
    EXPECT_EQ(0, none.WriteSectors(0, 1, buffer));
}

TEST_F(SectorDeviceTest, AShortTransferOnTheVolumeFails)
{
    fake.device = "\\\\.\\A:";
    WSectorDevice device(0);
    ASSERT_EQ(WSectorDevice::MODE_VOLUME, device.mode);
    char buffer[2 * 512] = {};
    for (DWORD shortBy : {0u, 1u, 512u}) {
        fake.shortBy = shortBy;
        EXPECT_EQ(shortBy == 0, device.WriteSectors(5, 2, buffer) == 1) << "write short by " << shortBy;
        EXPECT_EQ(shortBy == 0, device.ReadSectors(5, 2, buffer) == 1) << "read short by " << shortBy;
    }
}

}  // namespace
