// Start and memory floor: a GUI program that does nothing but ask one question with MessageBoxA.
// Built with FLOOR_SYSTEM, it first does what the installer asks of Windows before its first
// question (COM, the documentation opened through the shell) with the same system DLLs loaded,
// which tells how much of the installer's figures is theirs.
#include <windows.h>
#ifdef FLOOR_SYSTEM
#include <commdlg.h>
#include <objbase.h>
#include <shellapi.h>
#endif

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
#ifdef FLOOR_SYSTEM
    CoInitialize(nullptr);
    ShellExecuteA(nullptr, "open", "kestrand.htm", "", "", SW_SHOWNORMAL);
    CommDlgExtendedError();
#endif
    const int answer = MessageBoxA(nullptr, "Floor: one question and nothing else.", "Installer", MB_OK | MB_ICONINFORMATION);
#ifdef FLOOR_SYSTEM
    CoUninitialize();
#endif
    return answer;
}
