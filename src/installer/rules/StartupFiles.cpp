#include "installer/rules/StartupFiles.h"

#include <cstring>

const char kStartupMarker[] = "REM KESTRAND   ** DO NOT MODIFY **";
const char* const kConfigSysParts[] = {kStartupMarker, nullptr};
const char* const kAutoexecBatParts[] = {"REM KESTRAND   ** DO NOT MODIFY **\r\n", "@echo off\r\n", "ksstart.com",
                                         nullptr};

int IsInstallerStartupFile(const char* head, size_t length)
{
    const size_t n = strlen(kStartupMarker);
    if (length < n || memcmp(head, kStartupMarker, n) != 0)
        return 0;
    return length == n || head[n] == '\r' || head[n] == '\n';
}

namespace {
int ReplaceExtension(const char* path, const char* extension, char* out, size_t size)
{
    const size_t n = strlen(path);
    if (size > 0)
        out[0] = '\0';
    if (n < 4 || n + 1 > size)
        return 0;
    memcpy(out, path, n - 4);
    memcpy(out + n - 4, extension, 5);
    return 1;
}
}  // namespace

int MakeBackupPath(const char* path, char* backup, size_t size)
{
    return ReplaceExtension(path, ".zeb", backup, size);
}

int MakeBackupTempPath(const char* path, char* temp, size_t size)
{
    return ReplaceExtension(path, ".ze$", temp, size);
}

bool IsSameFullPath(const char* a, const char* b)
{
    for (;; ++a, ++b) {
        char x = *a, y = *b;
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
        if (x == '\0')
            return true;
    }
}
