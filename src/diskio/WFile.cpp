#include "diskio/WFile.h"

#include <cstring>

namespace {
// The program's own path and relative names are resolved within 256 characters, leaving room
// in the MAX_PATH buffer for nothing the caller did not ask for.
constexpr DWORD kResolveLimit = 256;
// GetModuleFileNameW takes no longer name than this (the longest path the NT family knows).
constexpr size_t kLongestPath = 32768;

std::wstring Widen(const char* text)
{
    const int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (n <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(n), L'\0');
    if (MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], n) != n)
        return std::wstring();
    wide.resize(static_cast<size_t>(n) - 1);
    return wide;
}

// The full UTF-16 path that a name stands for; empty when it cannot be resolved or is longer than
// a path without the "\\?\" prefix may be.
std::wstring ResolveFileNameW(const char* name)
{
    const bool own = name[0] == '>';
    const char* rest = own ? name + 1 : name;
    if (own && *rest == '\\')
        ++rest;
    const std::wstring wideRest = Widen(rest);
    std::wstring full;
    if (own) {
        full = ProgramFileNameW();
        const size_t slash = full.rfind(L'\\');
        if (slash == std::wstring::npos)
            return std::wstring();
        full.resize(slash + 1);
        full += wideRest;
    } else {
        if (wideRest.empty())
            return std::wstring();
        const DWORD need = GetFullPathNameW(wideRest.c_str(), 0, nullptr, nullptr);
        if (need == 0)
            return std::wstring();
        full.assign(need, L'\0');
        const DWORD n = GetFullPathNameW(wideRest.c_str(), need, &full[0], nullptr);
        if (n == 0 || n >= need)
            return std::wstring();
        full.resize(n);
    }
    if (full.size() >= MAX_PATH)
        return std::wstring();
    return full;
}
}  // namespace

bool WideFileNames()
{
    // The high bit of GetVersion marks the 9x family.
    return (GetVersion() & 0x80000000u) == 0;
}

std::wstring ProgramFileNameW()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (n == 0)
            return std::wstring();
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        // Cut short (XP then leaves it unterminated): ask again with more room.
        if (path.size() >= kLongestPath)
            return std::wstring();
        path.resize(path.size() * 2);
    }
}

std::string ProgramFolderText()
{
    std::string folder;
    if (WideFileNames()) {
        std::wstring path = ProgramFileNameW();
        const size_t slash = path.rfind(L'\\');
        if (slash == std::wstring::npos)
            return folder;
        path.resize(slash);
        const int n = WideCharToMultiByte(CP_ACP, 0, path.c_str(), static_cast<int>(path.size()), nullptr, 0,
                                          "?", nullptr);
        if (n > 0) {
            folder.assign(static_cast<size_t>(n), '\0');
            WideCharToMultiByte(CP_ACP, 0, path.c_str(), static_cast<int>(path.size()), &folder[0], n, "?",
                                nullptr);
        }
    } else {
        char path[MAX_PATH];
        const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
        if (n == 0 || n >= MAX_PATH)
            return folder;
        folder.assign(path, n);
        const size_t slash = folder.rfind('\\');
        folder.resize(slash == std::string::npos ? 0 : slash);
    }
    if (!folder.empty() && folder.back() == ':')
        folder += '\\';
    return folder;
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
    mode = AddDefaultCreationBits(newMode);
    const FileOpenArgs a = MapFileMode(mode);
    // A name we cannot hold whole is refused rather than cut to some other file's name.
    if (WideFileNames()) {
        const std::wstring path = ResolveFileNameW(name);
        if (path.empty()) {
            lastError = ERROR_FILENAME_EXCED_RANGE;
            return 1;
        }
        handle = CreateFileW(path.c_str(), a.access, a.share, nullptr, a.disposition, a.flags, nullptr);
    } else {
        char path[MAX_PATH];
        if (!ResolveFileName(name, path)) {
            lastError = ERROR_FILENAME_EXCED_RANGE;
            return 1;
        }
        handle = CreateFileA(path, a.access, a.share, nullptr, a.disposition, a.flags, nullptr);
    }
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
