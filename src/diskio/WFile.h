#pragma once
// WFile: a thin object over one Win32 file handle, plus the program-folder name rule.
#include <windows.h>
#include <cstdint>
#include <string>
#include "diskio/rules/FileMode.h"

class WFile {
public:
    WFile() : handle(INVALID_HANDLE_VALUE) {}
    // Destroying an open object is a bug in the caller: it is shown, not hidden, and the
    // handle is left alone so nothing half-written is closed behind the caller's back.
    ~WFile();
    WFile(const WFile&) = delete;
    WFile& operator=(const WFile&) = delete;

    int Open(const char* name, uint32_t mode);   // 0 opened, 1 failed
    uint32_t Close();                             // 0 or the CloseHandle error
    int Seek(int64_t offset, uint32_t method);    // 0 done, 1 failed
    uint64_t GetSize();                           // 0 on failure
    uint32_t Read(void* buffer, uint32_t count);  // bytes read
    uint32_t Write(const void* data, uint32_t count);
    int WriteString(const char* text, int terminate, int maxLength);
    int IsOpen() const { return handle != INVALID_HANDLE_VALUE; }

    HANDLE handle;
    uint32_t mode = 0;
    uint32_t lastError = 0;
};

// Names of files and folders. The NT family takes them in UTF-16, so there Open resolves names
// as UTF-16 (with the program's folder from GetModuleFileNameW and relative names against the
// current folder, whatever their letters) and the limit is Windows' own MAX_PATH. The 9x family's
// wide file calls are stubs: it keeps ResolveFileName and the ANSI calls.
bool WideFileNames();

// The program's own full file name in UTF-16 (NT family), however long; empty when unknown.
std::wstring ProgramFileNameW();

// The folder that holds the program, without a final backslash (but "C:\" for a drive's root),
// in the system's ANSI code page with '?' for letters it lacks: for messages to the user.
std::string ProgramFolderText();

// The 9x family's resolution (and the ANSI form of the rule):
// turns a name into a full path in `buffer` (MAX_PATH bytes). A name that begins with ">" names
// a file in the folder that holds the program. Returns 1 when the full path fits, 0 when it does
// not (or cannot be resolved); `buffer` is then the empty string.
int ResolveFileName(const char* name, char* buffer);

// 1 when a file or folder matches the name or wildcard pattern, else 0.
int FileExists(const char* pattern);
