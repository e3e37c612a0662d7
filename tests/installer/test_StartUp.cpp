// What the program's administrator rights must not reach: DLLs only from the system folder, the
// program's folder as the current one, and the documents opened with the user's rights. This
// program runs from a folder of its own beside a planted dwmapi.dll (see CMakeLists.txt).
#include <gtest/gtest.h>
#include <windows.h>
#include <exdisp.h>
#include <objbase.h>
#include <tlhelp32.h>

#include <string>

#include "framework/ImportHook.h"
#include "installer/Documents.h"
#include "installer/StartUp.h"

namespace {

std::string ProgramFolder()
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.rfind('\\'));
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Runs first: the search restriction holds for the rest of the process.
TEST(StartUp, DllOfASystemNameBesideTheProgramIsNotLoaded)
{
    const std::string planted = ProgramFolder() + "\\dwmapi.dll";
    const std::string mark = planted + ".loaded";
    ASSERT_TRUE(Exists(planted)) << planted << " is missing: the test would prove nothing";
    DeleteFileA(mark.c_str());

    RestrictDllSearch();
    const HMODULE module = LoadLibraryA("dwmapi.dll");
    char loaded[MAX_PATH] = "";
    if (module != nullptr)
        GetModuleFileNameA(module, loaded, MAX_PATH);
    EXPECT_FALSE(Exists(mark)) << "the planted DLL was loaded";
    EXPECT_EQ(std::string::npos, std::string(loaded).find(ProgramFolder() + "\\"))
        << "dwmapi.dll was taken from the program's folder: " << loaded;
    if (module != nullptr)
        FreeLibrary(module);
    DeleteFileA(mark.c_str());
}

TEST(StartUp, ProgramFolderBecomesTheCurrentFolder)
{
    for (const char* elsewhere : {"C:\\", "C:\\windows\\system32"}) {
        ASSERT_TRUE(SetCurrentDirectoryA(elsewhere));
        EnterProgramFolder();
        char current[MAX_PATH] = "";
        GetCurrentDirectoryA(MAX_PATH, current);
        EXPECT_EQ(0, lstrcmpiA(current, ProgramFolder().c_str())) << "from " << elsewhere << ": " << current;
    }
}

// What the document calls reach: the shell's ShellExecuteA and the desktop's shell windows.
struct DocumentCalls {
    int shellExecutes = 0;
    std::string verb, file, parameters, directory;
    int show = -1;
    int shellWindowsAsked = 0;
    DWORD context = 0;
} calls;

HINSTANCE WINAPI RecordShellExecute(HWND, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                                    INT show)
{
    ++calls.shellExecutes;
    calls.verb = verb ? verb : "(null)";
    calls.file = file ? file : "(null)";
    calls.parameters = parameters ? parameters : "(null)";
    calls.directory = directory ? directory : "(null)";
    calls.show = show;
    return reinterpret_cast<HINSTANCE>(33);
}

// No Explorer in this session: the desktop's shell windows are not registered.
HRESULT WINAPI NoShellWindows(REFCLSID clsid, LPUNKNOWN, DWORD context, REFIID, LPVOID* out)
{
    if (IsEqualCLSID(clsid, CLSID_ShellWindows)) {
        ++calls.shellWindowsAsked;
        calls.context = context;
    }
    *out = nullptr;
    return REGDB_E_CLASSNOTREG;
}

// Elevated or not, without a desktop shell to ask the document is opened as before: the "open"
// verb, the name in the current folder, no parameters, shown normally. Only an elevated program
// asks Explorer's desktop first (from its own process, CLSCTX_LOCAL_SERVER).
TEST(Documents, OpenedWithShellExecuteWhereTheDesktopShellIsMissing)
{
    ImportHook shellExecute("shell32.dll", "ShellExecuteA", reinterpret_cast<void*>(RecordShellExecute));
    ImportHook create("ole32.dll", "CoCreateInstance", reinterpret_cast<void*>(NoShellWindows));
    ASSERT_TRUE(shellExecute.Installed() && create.Installed());
    for (bool elevated : {false, true}) {
        calls = DocumentCalls();
        EXPECT_EQ(DocumentRoute::Direct, OpenDocumentAs("copying.txt", elevated)) << elevated;
        EXPECT_EQ(1, calls.shellExecutes) << elevated;
        EXPECT_EQ("open", calls.verb);
        EXPECT_EQ("copying.txt", calls.file);
        EXPECT_EQ("", calls.parameters);
        EXPECT_EQ("", calls.directory);
        EXPECT_EQ(SW_SHOWNORMAL, calls.show);
        EXPECT_EQ(elevated ? 1 : 0, calls.shellWindowsAsked) << elevated;
        EXPECT_EQ(elevated ? static_cast<DWORD>(CLSCTX_LOCAL_SERVER) : 0u, calls.context);
    }
}

// The name of the program that started process `id`, as Windows keeps it.
std::string ParentProgram(DWORD id)
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    DWORD parent = 0;
    std::string name;
    PROCESSENTRY32 entry;
    for (int pass = 0; pass < 2; ++pass) {
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
            if (pass == 0 && entry.th32ProcessID == id)
                parent = entry.th32ParentProcessID;
            if (pass == 1 && entry.th32ProcessID == parent)
                name = entry.szExeFile;
        }
    }
    CloseHandle(snapshot);
    return name;
}

// What Wine allows of the desktop route: its desktop (explorer.exe) serves the shell windows as
// Windows' does, so an elevated program's document opens there, in a program the desktop started.
TEST(Documents, AnElevatedProgramsDocumentOpensFromTheDesktop)
{
    const std::string name = "kes-document.txt";
    const HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    CloseHandle(file);
    ASSERT_EQ(S_OK, CoInitialize(nullptr));
    EXPECT_EQ(DocumentRoute::Desktop, OpenDocumentAs(name.c_str(), true));
    HWND notepad = nullptr;
    for (int i = 0; i < 200 && notepad == nullptr; ++i) {
        notepad = FindWindowA(nullptr, (name + " - Notepad").c_str());
        Sleep(50);
    }
    ASSERT_NE(nullptr, notepad) << "no Notepad showed " << name;
    DWORD process = 0;
    GetWindowThreadProcessId(notepad, &process);
    EXPECT_EQ(0, lstrcmpiA("explorer.exe", ParentProgram(process).c_str()));
    PostMessageA(notepad, WM_CLOSE, 0, 0);
    CoUninitialize();
    DeleteFileA(name.c_str());
}

}  // namespace
