#include "installer/rules/DriveList.h"

DriveList BuildDriveList(const unsigned (&driveType)[26])
{
    DriveList list;
    for (uint8_t n = 0; n < 26; ++n) {
        if (driveType[n] != kDriveRemovable)
            continue;
        if (!list.text.empty())
            list.text += '|';
        list.text += static_cast<char>('A' + n);
        list.text += ':';
        list.drives.push_back(n);
    }
    return list;
}

int ChosenDrive(const DriveList& list, int32_t state)
{
    const int32_t index = state >> 16;
    if (index < 0 || static_cast<size_t>(index) >= list.drives.size())
        return -1;
    return list.drives[static_cast<size_t>(index)];
}
