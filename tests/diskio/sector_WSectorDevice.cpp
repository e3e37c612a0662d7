// WSectorDevice on a real disk image attached as drive A: (tests/diskio/sector_WSectorDevice.sh
// makes the disk and picks the group that fits it with --gtest_filter).
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "diskio/WSectorDevice.h"

namespace {
constexpr int32_t kDriveA = 0;
constexpr int32_t kDriveB = 1;  // never attached by the script
constexpr uint32_t kFloppySectors = 2880;

// The raw disk's bytes: each byte is its offset's low byte XOR its sector number's low byte, so a
// sector read from the wrong offset never matches.
uint8_t RawByte(uint64_t offset)
{
    return static_cast<uint8_t>((offset ^ (offset >> 9)) & 0xFF);
}

void ExpectRawSectors(const std::vector<uint8_t>& buf, uint32_t firstSector)
{
    const uint64_t base = static_cast<uint64_t>(firstSector) * 512;
    for (size_t i = 0; i < buf.size(); ++i) {
        ASSERT_EQ(RawByte(base + i), buf[i]) << "byte " << i << " from sector " << firstSector;
    }
}

std::vector<uint8_t> WrittenPattern(uint8_t key)
{
    std::vector<uint8_t> p(512);
    for (size_t i = 0; i < p.size(); ++i)
        p[i] = static_cast<uint8_t>(key ^ i ^ (i >> 8));
    return p;
}
}  // namespace

TEST(RawDisk, OpensTheVolumeDeviceAndReadsSectorsAtTheirOffsets)
{
    WSectorDevice dev(kDriveA);
    ASSERT_EQ(WSectorDevice::MODE_VOLUME, dev.mode);
    EXPECT_EQ(kDriveA, dev.drive);
    std::vector<uint8_t> buf(512);
    ASSERT_EQ(1, dev.ReadSectors(0, 1, buf.data()));
    ExpectRawSectors(buf, 0);
    ASSERT_EQ(1, dev.ReadSectors(1, 1, buf.data()));
    ExpectRawSectors(buf, 1);
    // Out of order and several at once: the position comes from the sector, not the last transfer.
    buf.assign(3 * 512, 0);
    ASSERT_EQ(1, dev.ReadSectors(7, 3, buf.data()));
    ExpectRawSectors(buf, 7);
    dev.Close();
}

TEST(RawDisk, WritesLandAtTheirSectorAndReadBack)
{
    WSectorDevice dev(kDriveA);
    const std::vector<uint8_t> pattern = WrittenPattern(0xA5);
    ASSERT_EQ(1, dev.WriteSectors(2, 1, pattern.data()));
    std::vector<uint8_t> back(512);
    ASSERT_EQ(1, dev.ReadSectors(2, 1, back.data()));
    EXPECT_EQ(pattern, back);
    // The neighbours are untouched (the script also checks the image itself).
    ASSERT_EQ(1, dev.ReadSectors(1, 1, back.data()));
    ExpectRawSectors(back, 1);
    ASSERT_EQ(1, dev.ReadSectors(3, 1, back.data()));
    ExpectRawSectors(back, 3);
    dev.Close();
}

TEST(RawDisk, ATransferPastTheEndFailsEvenWhenPartlyDone)
{
    WSectorDevice dev(kDriveA);
    std::vector<uint8_t> buf(2 * 512);
    EXPECT_EQ(1, dev.ReadSectors(kFloppySectors - 1, 1, buf.data()));
    // The system reports success with fewer bytes: half a buffer is still a failed read.
    EXPECT_EQ(0, dev.ReadSectors(kFloppySectors - 1, 2, buf.data()));
    EXPECT_EQ(0, dev.ReadSectors(kFloppySectors, 1, buf.data()));
    EXPECT_EQ(0, dev.WriteSectors(kFloppySectors, 1, buf.data()));
    // A failed transfer leaves the device open and usable.
    EXPECT_EQ(WSectorDevice::MODE_VOLUME, dev.mode);
    EXPECT_EQ(1, dev.ReadSectors(0, 1, buf.data()));
    dev.Close();
}

TEST(RawDisk, ADriveThatCannotBeOpenedFailsEveryTransfer)
{
    WSectorDevice dev(kDriveB);
    EXPECT_EQ(WSectorDevice::MODE_CLOSED, dev.mode);
    EXPECT_EQ(kDriveB, dev.drive);
    std::vector<uint8_t> buf(512, 0x5A);
    EXPECT_EQ(0, dev.ReadSectors(0, 1, buf.data()));
    EXPECT_EQ(0, dev.WriteSectors(0, 1, buf.data()));
    EXPECT_EQ(std::vector<uint8_t>(512, 0x5A), buf);
}

TEST(RawDisk, CloseTwiceAndDestroyAfterCloseDoNothingMore)
{
    // A handle opened after the device's own shows whether Close released a handle twice: handle
    // values are reused, so a second CloseHandle on the device's old value would close this one.
    auto* dev = new WSectorDevice(kDriveA);
    ASSERT_EQ(WSectorDevice::MODE_VOLUME, dev->mode);
    const HANDLE old = dev->handle;
    dev->Close();
    EXPECT_EQ(WSectorDevice::MODE_CLOSED, dev->mode);
    HANDLE other = CreateFileA("\\\\.\\A:", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, other);
    EXPECT_EQ(old, other) << "the test needs the freed handle value back";
    dev->Close();
    std::vector<uint8_t> buf(512);
    EXPECT_EQ(0, dev->ReadSectors(0, 1, buf.data()));
    delete dev;
    DWORD n = 0;
    EXPECT_TRUE(ReadFile(other, buf.data(), 512, &n, nullptr));
    EXPECT_EQ(512u, n);
    EXPECT_TRUE(CloseHandle(other));
}

TEST(ReadOnlyDisk, WriteFailsReadWorksDeviceStaysOpen)
{
    WSectorDevice dev(kDriveA);
    ASSERT_EQ(WSectorDevice::MODE_VOLUME, dev.mode);
    const std::vector<uint8_t> pattern = WrittenPattern(0x3C);
    EXPECT_EQ(0, dev.WriteSectors(0, 1, pattern.data()));
    EXPECT_EQ(WSectorDevice::MODE_VOLUME, dev.mode);
    std::vector<uint8_t> buf(512);
    ASSERT_EQ(1, dev.ReadSectors(0, 1, buf.data()));
    ExpectRawSectors(buf, 0);
    dev.Close();
}

// A disk larger than 4 GiB (sparse); the script put a marker sector at 4 GiB + 512.
TEST(HugeDisk, SectorsBeyondFourGibAreNotWrappedOntoTheStart)
{
    constexpr uint32_t kMarker = 8388609;  // byte offset 4 GiB + 512
    WSectorDevice dev(kDriveA);
    ASSERT_EQ(WSectorDevice::MODE_VOLUME, dev.mode);
    std::vector<uint8_t> buf(512);
    ASSERT_EQ(1, dev.ReadSectors(kMarker, 1, buf.data()));
    EXPECT_EQ(std::vector<uint8_t>(512, 0xC3), buf);
    ASSERT_EQ(1, dev.ReadSectors(1, 1, buf.data()));
    EXPECT_EQ(std::vector<uint8_t>(512, 0x00), buf);
    const std::vector<uint8_t> pattern = WrittenPattern(0x69);
    ASSERT_EQ(1, dev.WriteSectors(kMarker + 1, 1, pattern.data()));
    dev.Close();
}
