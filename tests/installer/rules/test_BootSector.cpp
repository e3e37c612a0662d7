#include <gtest/gtest.h>

#include <cstring>

#include "installer/rules/BootSector.h"

TEST(BootSector, OnlyTheDisksParameterBytesReplaceTheImage)
{
    uint8_t image[kBootSectorSize];
    uint8_t disk[kBootSectorSize];
    for (size_t i = 0; i < kBootSectorSize; ++i) {
        image[i] = static_cast<uint8_t>(i * 7 + 1);
        disk[i] = static_cast<uint8_t>(~(i * 7 + 1));
    }
    uint8_t diskBefore[kBootSectorSize];
    memcpy(diskBefore, disk, sizeof disk);
    MergeBootSector(image, disk);
    for (size_t i = 0; i < kBootSectorSize; ++i) {
        const bool fromDisk = i >= 11 && i <= 61;
        const uint8_t expected = fromDisk ? disk[i] : static_cast<uint8_t>(i * 7 + 1);
        EXPECT_EQ(expected, image[i]) << "byte " << i;
    }
    EXPECT_EQ(0, memcmp(diskBefore, disk, sizeof disk));
}
