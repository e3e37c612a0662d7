#include "diskio/WFile.h"

#include <cstring>

namespace {
// The program's own path and relative names are resolved within 256 characters, leaving room
// in the MAX_PATH buffer for nothing the caller did not ask for.
constexpr DWORD kResolveLimit = 256;
}

WFile::~WFile()
{
    if (IsOpen())
        MessageBoxA(nullptr, "File was not closed properly", "Error WFile", MB_OK | MB_ICONEXCLAMATION);
}

int ResolveFileName(const char* name, char* buffer)
{
    buffer[0] = '\0';
    if (name[0] != '>') {
        const DWORD n = GetFullPathNameA(name, kResolveLimit, buffer, nullptr);
        if (n == 0 || n >= kResolveLimit) {
            buffer[0] = '\0';
            return 0;
        }
        return 1;
    }
    const char* rest = name + 1;
    if (*rest == '\\')
        ++rest;
    const DWORD n = GetModuleFileNameA(nullptr, buffer, kResolveLimit);
    if (n == 0 || n >= kResolveLimit) {
        buffer[0] = '\0';
        return 0;
    }
    size_t folder = n;
    while (folder > 0 && buffer[folder - 1] != '\\')
        --folder;
    const size_t restLength = strlen(rest);
    if (folder + restLength + 1 > MAX_PATH) {
        buffer[0] = '\0';
        return 0;
    }
    memcpy(buffer + folder, rest, restLength + 1);
    return 1;
}

int WFile::Open(const char* name, uint32_t newMode)
{
    lastError = 0;
    char path[MAX_PATH];
    mode = AddDefaultCreationBits(newMode);
    if (!ResolveFileName(name, path)) {
        // A name we cannot hold whole is refused rather than cut to some other file's name.
        lastError = ERROR_FILENAME_EXCED_RANGE;
        return 1;
    }
    const FileOpenArgs a = MapFileMode(mode);
    handle = CreateFileA(path, a.access, a.share, nullptr, a.disposition, a.flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        lastError = GetLastError();
        return 1;
    }
    if (mode & WF_APPEND) {
        Seek(0, FILE_END);  // a failed seek stays in lastError, the open still counts
    }
    return 0;
}

uint32_t WFile::Close()
{
    lastError = 0;
    if (!IsOpen())
        return 0;
    const BOOL ok = CloseHandle(handle);
    handle = INVALID_HANDLE_VALUE;
    if (!ok)
        lastError = GetLastError();
    return lastError;
}

int WFile::Seek(int64_t offset, uint32_t method)
{
    lastError = 0;
    LONG high = static_cast<LONG>(offset >> 32);
    const DWORD low = SetFilePointer(handle, static_cast<LONG>(offset & 0xFFFFFFFF), &high, method);
    if (low == INVALID_SET_FILE_POINTER) {
        // A zero code means the new position's low half really is 0xFFFFFFFF.
        lastError = GetLastError();
        return lastError != 0;
    }
    return 0;
}

uint64_t WFile::GetSize()
{
    lastError = 0;
    DWORD high = 0;
    const DWORD low = GetFileSize(handle, &high);
    if (low == INVALID_FILE_SIZE) {
        lastError = GetLastError();
        if (lastError != 0)
            return 0;
    }
    return (static_cast<uint64_t>(high) << 32) | low;
}

uint32_t WFile::Read(void* buffer, uint32_t count)
{
    lastError = 0;
    DWORD transferred = 0;
    if (!ReadFile(handle, buffer, count, &transferred, nullptr))
        lastError = GetLastError();
    return transferred;
}

uint32_t WFile::Write(const void* data, uint32_t count)
{
    lastError = 0;
    DWORD transferred = 0;
    if (!WriteFile(handle, data, count, &transferred, nullptr))
        lastError = GetLastError();
    return transferred;
}

int WFile::WriteString(const char* text, int terminate, int maxLength)
{
    lastError = 0;
    if (maxLength == 0)
        return 0;
    size_t n = strlen(text);
    if (maxLength != -1 && n >= static_cast<size_t>(maxLength))
        n = static_cast<size_t>(maxLength);
    const int length = static_cast<int>(n);
    Write(text, static_cast<uint32_t>(n));
    if (lastError != 0 || terminate == 0)
        return length;
    // The result counts what was asked for; a failed write shows only in lastError.
    if (mode & WF_TEXT) {
        Write("\r\n", 2);
        return length + 2;
    }
    Write("", 1);
    return length + 1;
}

int FileExists(const char* pattern)
{
    WIN32_FIND_DATAA data;
    const HANDLE search = FindFirstFileA(pattern, &data);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    FindClose(search);
    return 1;
}
