// A DLL planted beside a program under the name of a Windows system DLL. Were it ever loaded, it
// leaves "<its own path>.loaded" behind (test_StartUp.cpp looks for it).
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        char path[MAX_PATH + 8];
        const DWORD length = GetModuleFileNameA(instance, path, MAX_PATH);
        if (length > 0 && length < MAX_PATH) {
            lstrcatA(path, ".loaded");
            const HANDLE mark = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            if (mark != INVALID_HANDLE_VALUE)
                CloseHandle(mark);
        }
    }
    return TRUE;
}
