#pragma once
// The boot sector written by the FreeDOS step: the package's boot code around the disk's own
// parameter block, so the disk keeps its geometry, serial number and label.
#include <cstddef>
#include <cstdint>

constexpr size_t kBootSectorSize = 512;
// Bytes 11..61: the BIOS parameter block (11..35) and the FAT12/16 extended fields (36..61).
constexpr size_t kDiskParamsFirst = 11;
constexpr size_t kDiskParamsEnd = 62;

// Copies the disk's parameter bytes over the same bytes of the image; nothing is validated.
void MergeBootSector(uint8_t (&image)[kBootSectorSize], const uint8_t (&disk)[kBootSectorSize]);
