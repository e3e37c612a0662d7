// The installer program: one static application object and the framework's entry.
#include <windows.h>

#include "framework/WApp.h"
#include "installer/StartUp.h"
#include "installer/WInstallerApp.h"

static WInstallerApp installerApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand)
{
    RestrictDllSearch();
    EnterProgramFolder();
    return AppEntry(instance, previous, commandLine, showCommand);
}
