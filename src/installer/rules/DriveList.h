#pragma once
// Classes in this file: DriveList (the drives offered in the drive question: every removable
// drive, in letter order) and DrivePath (a file in the root folder of the chosen drive).
#include <cstddef>
#include <cstdint>

struct DriveList {
    uint8_t drives[26];  // drive numbers, 0 = A .. 25 = Z
    int count;
    char text[78];       // "A:|B:", the list values of the drive question; 26 drives take 77
};

constexpr unsigned kDriveRemovable = 2;  // DRIVE_REMOVABLE

// driveType[n] is what GetDriveTypeA reports for drive number n.
DriveList BuildDriveList(const unsigned (&driveType)[26]);

// The drive the user picked from the state word of the drive question (index in the upper
// half), or -1 when the word names no entry of the list.
int ChosenDrive(const DriveList& list, int32_t state);

constexpr size_t kDrivePathSize = 260;  // MAX_PATH

struct DrivePath {
    char text[kDrivePathSize];  // "A:\\name", or "A:\\" for an empty name
    bool fits;                  // false when the path is longer; `text` is then empty
};

// The one place where a drive letter and a file name become a path: a name cut to fit would be
// some other file, so a path that does not fit is refused whole.
DrivePath MakeDrivePath(char drive, const char* name);
