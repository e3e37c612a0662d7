#pragma once
// What the installer writes into config.sys and autoexec.bat, where the old ones are kept, and
// when a file to be copied is already the file it would be copied to.
#include <cstddef>

// The marker line: three blanks after the product word. The last line of each file has no line
// end, exactly as DOS editors of the time left it.
extern const char kStartupMarker[];            // "REM KESTRAND   ** DO NOT MODIFY **"
extern const char* const kConfigSysParts[];    // written in order, then a null entry
extern const char* const kAutoexecBatParts[];  // marker + CR LF, "@echo off" + CR LF, "ksstart.com"

// 1 when a file that begins with these `length` bytes is the installer's own: its first line is
// the marker line (followed by a line end or by nothing). Such a file is not backed up again, so
// the backup keeps what the user had before the first run.
int IsInstallerStartupFile(const char* head, size_t length);

// The backup of a start-up file: the same path with its last four characters (".sys", ".bat")
// replaced by ".zeb". 1 when it fits in `size` bytes with its terminator, else 0 and `backup`
// is the empty string (also for a path shorter than four characters).
int MakeBackupPath(const char* path, char* backup, size_t size);

// Where the backup is copied first (".ze$"), so that an old backup is replaced only by a complete
// copy. Same rules as MakeBackupPath.
int MakeBackupTempPath(const char* path, char* temp, size_t size);

// True when two full paths (as GetFullPathName makes them) name the same file: equal but for the case
// of ASCII letters, as FAT compares names. Only ASCII letters are folded: the files copied are
// ASCII names in a drive's root, and no other character of the code page is taken for another.
bool IsSameFullPath(const char* a, const char* b);
