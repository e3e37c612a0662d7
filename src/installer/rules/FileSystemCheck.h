#pragma once
// Whether a volume can take the FreeDOS boot sector: FAT12 or FAT16 only. A FAT32 volume is also
// reported by a name that begins with "FAT": by "FAT32" when the system tells it apart, and a
// FAT32 volume of FAT16's size can only be told by that name, a large one by its size too.
#include <cstdint>

// 65525 is the smallest cluster count of a FAT32 volume.
constexpr uint32_t kFat32MinClusters = 65525;
// 4085 is the smallest cluster count of a FAT16 volume.
constexpr uint32_t kFat16MinClusters = 4085;

// 1 when the file-system name begins with "fat" in any case (FAT, FAT12, FAT16, FAT32).
int HasFatName(const char* fileSystemName);

// 1 when the file-system name is "FAT32" in any case.
int IsFat32Name(const char* fileSystemName);

// 1 when a volume of that many clusters is FAT12 or FAT16.
int HasFat16ClusterCount(uint32_t totalClusters);
