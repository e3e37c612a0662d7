#include "installer/StartUp.h"

#include <windows.h>

#include <string.h>

#include "diskio/WFile.h"

void RestrictDllSearch()
{
    // Both calls are looked up at run time: older systems lack them (SetDefaultDllDirectories came
    // with Windows 7's KB2533623, SetDllDirectoryA with XP SP1).
    typedef BOOL(WINAPI * SetDefaultDllDirectoriesProc)(DWORD);
    typedef BOOL(WINAPI * SetDllDirectoryProc)(LPCSTR);
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (kernel == nullptr)
        return;
    const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesProc>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault != nullptr && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32))
        return;
    // Without it, at least the current folder leaves the search.
    const auto setDirectory = reinterpret_cast<SetDllDirectoryProc>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDllDirectoryA")));
    if (setDirectory != nullptr)
        setDirectory("");
}

void EnterProgramFolder()
{
    if (WideFileNames()) {
        // In UTF-16, so that a folder with letters outside the ANSI code page is found too.
        std::wstring folder = ProgramFileNameW();
        const size_t slash = folder.rfind(L'\\');
        if (slash == std::wstring::npos)
            return;
        folder.resize(slash + 1);
        SetCurrentDirectoryW(folder.c_str());
        return;
    }
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;  // a truncated name is no folder to go to
    char* slash = strrchr(path, '\\');
    if (slash == nullptr)
        return;
    slash[1] = '\0';  // the backslash stays, so that a drive's root is "C:\", not "C:"
    SetCurrentDirectoryA(path);
}
