#include "installer/rules/StartupFiles.h"

#include <cstring>

const char kStartupMarker[] = "REM KESTRAND   ** DO NOT MODIFY **";
const char* const kConfigSysParts[] = {kStartupMarker, nullptr};
const char* const kAutoexecBatParts[] = {"REM KESTRAND   ** DO NOT MODIFY **\r\n", "@echo off\r\n", "ksstart.com",
                                         nullptr};

int MakeBackupPath(const char* path, char* backup, size_t size)
{
    const size_t n = strlen(path);
    if (size > 0)
        backup[0] = '\0';
    if (n < 4 || n + 1 > size)
        return 0;
    memcpy(backup, path, n - 4);
    memcpy(backup + n - 4, ".zeb", 5);
    return 1;
}
