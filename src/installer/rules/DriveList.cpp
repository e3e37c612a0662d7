#include "installer/rules/DriveList.h"

#include <cstdio>
#include <cstring>

#include "installer/rules/FileSystemCheck.h"

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

const char* ShownFileSystem(const DriveContents& c)
{
    const char* name = c.fileSystem ? c.fileSystem : "";
    if (!HasFatName(name))
        return name;
    if (IsFat32Name(name) || !HasFat16ClusterCount(c.clusters))
        return "FAT32";
    return c.clusters < kFat16MinClusters ? "FAT12" : "FAT16";
}

bool HoldsFat16Volume(const DriveContents& c)
{
    const char* shown = ShownFileSystem(c);
    return c.hasDisk && (strcmp(shown, "FAT12") == 0 || strcmp(shown, "FAT16") == 0);
}

void DescribeDrive(char letter, const DriveContents& c, char* out, size_t size)
{
    if (size == 0)
        return;
    if (!c.hasDisk) {
        snprintf(out, size, "%c:  no disk", letter);
        return;
    }
    // Sizes as Windows shows them: binary units, one decimal below ten.
    static const char* const units[] = {"bytes", "KB", "MB", "GB", "TB"};
    double value = static_cast<double>(c.bytes);
    int unit = 0;
    while (value >= 1024 && unit < 4) {
        value /= 1024;
        ++unit;
    }
    char amount[32];
    if (unit == 0)
        snprintf(amount, sizeof amount, "%u bytes", static_cast<unsigned>(c.bytes));
    else if (value < 10)
        snprintf(amount, sizeof amount, "%.1f %s", value, units[unit]);
    else
        snprintf(amount, sizeof amount, "%d %s", static_cast<int>(value), units[unit]);
    char label[40] = "";
    if (c.label && c.label[0]) {
        snprintf(label, sizeof label, "%s  ", c.label);
        for (char* p = label; *p; ++p)
            if (*p == '|')
                *p = '!';
    }
    snprintf(out, size, "%c:  %s%s  %s", letter, label, amount, ShownFileSystem(c));
}
