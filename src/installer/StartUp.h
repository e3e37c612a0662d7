#pragma once
// What the program does first, before anything else runs (main/kesinst.cpp).

// The program runs with administrator rights and is typically started from a Downloads folder: a
// DLL of a system name planted beside it must never be loaded, so DLLs come from the system folder
// only. Call before anything loads a DLL.
void RestrictDllSearch();

// The package is one folder: the documentation and the package files are named relative to the
// current folder, which a command prompt elsewhere, a shortcut without a start folder or an
// elevation may have set anywhere. Makes the program's own folder the current one.
void EnterProgramFolder();
