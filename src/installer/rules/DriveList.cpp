#include "installer/rules/DriveList.h"

#include <cstdio>

DriveList BuildDriveList(const unsigned (&driveType)[26])
{
    DriveList list{};
    char* out = list.text;
    for (uint8_t n = 0; n < 26; ++n) {
        if (driveType[n] != kDriveRemovable)
            continue;
        if (list.count > 0)
            *out++ = '|';
        *out++ = static_cast<char>('A' + n);
        *out++ = ':';
        list.drives[list.count++] = n;
    }
    *out = '\0';
    return list;
}

int ChosenDrive(const DriveList& list, int32_t state)
{
    const int32_t index = state >> 16;
    if (index < 0 || index >= list.count)
        return -1;
    return list.drives[index];
}

DrivePath MakeDrivePath(char drive, const char* name)
{
    DrivePath path;
    const int n = snprintf(path.text, sizeof path.text, "%c:\\%s", drive, name);
    path.fits = n >= 0 && static_cast<size_t>(n) < sizeof path.text;
    if (!path.fits)
        path.text[0] = '\0';
    return path;
}
