// The VWIN32 records byte by byte, as the 32-bit service reads them.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "diskio/rules/DiskIoRecords.h"

namespace {
template <typename T>
std::vector<uint8_t> Bytes(const T& record)
{
    std::vector<uint8_t> b(sizeof record);
    memcpy(b.data(), &record, sizeof record);
    return b;
}
}  // namespace

TEST(DiskIoRecords, PacketIsPackedLittleEndianWithSixteenBitCount)
{
    // A count above 65535 keeps only its low half: the packet has two bytes for it.
    const DiskIoPacket p = MakeDiskIoPacket(0x04030201u, 0x00076543u, 0xD0C0B0A0u);
    const std::vector<uint8_t> expected = {0x01, 0x02, 0x03, 0x04, 0x43, 0x65, 0xA0, 0xB0, 0xC0, 0xD0};
    EXPECT_EQ(expected, Bytes(p));
}

TEST(DiskIoRecords, CountsThePacketCannotCarryAreRefused)
{
    EXPECT_EQ(1, DiskIoCountFits(0));
    EXPECT_EQ(1, DiskIoCountFits(1));
    EXPECT_EQ(1, DiskIoCountFits(0xFFFF));
    EXPECT_EQ(0, DiskIoCountFits(0x10000));
    EXPECT_EQ(0, DiskIoCountFits(0x10001));  // would become a one-sector transfer
}

TEST(DiskIoRecords, RegisterBlockPointsAtPacketAndNamesDrive)
{
    const DiocRegisters r = MakeDiskIoRegisters(0x11223344u, 2);
    const std::vector<uint8_t> expected = {
        0x44, 0x33, 0x22, 0x11,  // EBX: packet
        0, 0, 0, 0,              // EDX
        0xFF, 0xFF, 0, 0,        // ECX: packet form
        2, 0, 0, 0,              // EAX: drive C
        0, 0, 0, 0,              // EDI
        0, 0, 0, 0,              // ESI
        0, 0, 0, 0,              // Flags
    };
    EXPECT_EQ(expected, Bytes(r));
}

TEST(DiskIoRecords, CarryFlagFailsASucceededDeviceCall)
{
    DiocRegisters r = MakeDiskIoRegisters(0, 0);
    EXPECT_EQ(1, DiskIoSucceeded(1, r));
    EXPECT_EQ(0, DiskIoSucceeded(0, r));
    r.flags = 0x0247;  // other flags set along with carry
    EXPECT_EQ(0, DiskIoSucceeded(1, r));
    r.flags = 0x0246;  // carry clear, others set
    EXPECT_EQ(1, DiskIoSucceeded(1, r));
}
