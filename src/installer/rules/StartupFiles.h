#pragma once
// What the installer writes into config.sys and autoexec.bat, and where the old ones are kept.
#include <cstddef>

// The marker line: three blanks after the product word. The last line of each file has no line
// end, exactly as DOS editors of the time left it.
extern const char kStartupMarker[];            // "REM KESTRAND   ** DO NOT MODIFY **"
extern const char* const kConfigSysParts[];    // written in order, then a null entry
extern const char* const kAutoexecBatParts[];  // marker + CR LF, "@echo off" + CR LF, "ksstart.com"

// The backup of a start-up file: the same path with its last four characters (".sys", ".bat")
// replaced by ".zeb". 1 when it fits in `size` bytes with its terminator, else 0 and `backup`
// is the empty string (also for a path shorter than four characters).
int MakeBackupPath(const char* path, char* backup, size_t size);
