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

// What a drive of the list holds, as the system reports it.
struct DriveContents {
    bool hasDisk;            // false: no medium in the drive (the volume could not be read)
    const char* label;       // the volume label, may be empty
    uint64_t bytes;          // the volume's size
    const char* fileSystem;  // the file-system name, e.g. "FAT", "FAT32", "NTFS"
    uint32_t clusters;       // total clusters, which tell FAT12 from FAT16 and FAT32 where the name does not
};

// The file system shown for a volume: "FAT12", "FAT16" or "FAT32" for FAT volumes (by their
// cluster count where the name says only "FAT"), else the name as reported.
const char* ShownFileSystem(const DriveContents& contents);

// True when the volume is one the FreeDOS installation takes: FAT12 or FAT16.
bool HoldsFat16Volume(const DriveContents& contents);

// One entry of the drive question: "E:  KESTICK  1.9 GB  FAT16", without a label "A:  1.4 MB
// FAT12", without a medium "E:  no disk". '|' in a label, which would split the entry, shows as '!'.
void DescribeDrive(char letter, const DriveContents& contents, char* out, size_t size);
