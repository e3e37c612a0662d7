// Start-up: DLLs only from the system folder, and the program's folder as the current one. This
// program runs from a folder of its own beside a planted dwmapi.dll (see CMakeLists.txt).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

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

}  // namespace
