#pragma once
// The drives offered in the drive question: every removable drive, in letter order.
#include <cstdint>
#include <string>
#include <vector>

struct DriveList {
    std::vector<uint8_t> drives;  // drive numbers, 0 = A .. 25 = Z
    std::string text;             // "A:|B:", the list values of the drive question
};

constexpr unsigned kDriveRemovable = 2;  // DRIVE_REMOVABLE

// driveType[n] is what GetDriveTypeA reports for drive number n.
DriveList BuildDriveList(const unsigned (&driveType)[26]);

// The drive the user picked from the state word of the drive question (index in the upper
// half), or -1 when the word names no entry of the list.
int ChosenDrive(const DriveList& list, int32_t state);
