#include "installer/rules/BootSector.h"

#include <cstring>

void MergeBootSector(uint8_t (&image)[kBootSectorSize], const uint8_t (&disk)[kBootSectorSize])
{
    memcpy(image + kDiskParamsFirst, disk + kDiskParamsFirst, kDiskParamsEnd - kDiskParamsFirst);
}
