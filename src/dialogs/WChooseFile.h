#pragma once
// WChooseFile: the platform's common file dialog in three modes: an existing file (open), a file
// name to write (save) and a folder. The common dialog has no folder mode of its own; the folder
// mode is the open dialog with a folders-only filter, a hook and a subclass of the chooser window.
#include <windows.h>
#include <cstdint>

#include "dialogs/rules/ChooseFilePath.h"

// Holds the window procedures of the folder mode. The operation below shares the name, so
// `WChooseFile::` always names this class and a plain `WChooseFile(...)` the operation.
class WChooseFile {
public:
    // Hook of the folder mode (a dialog procedure of the Explorer-style chooser): follows the
    // user's navigation in the path buffer and decides at CDN_FILEOK whether a folder was chosen.
    static UINT_PTR CALLBACK FolderHook(HWND hook, UINT message, WPARAM wParam, LPARAM lParam);
    // Installed on the chooser window in the folder mode: marks the name field with "(.)" before
    // OK, so the chooser returns the folder instead of browsing into it.
    static LRESULT CALLBACK FolderFrameProc(HWND chooser, UINT message, WPARAM wParam, LPARAM lParam);
};

// Opens the chooser modal to `owner`. `mode`: CHOOSE_FOLDER, CHOOSE_OPEN or CHOOSE_SAVE.
// `path`: a buffer of CHOOSER_PATH_SIZE bytes with the initial path, a pattern is appended to it
// first (when it fits); it holds the chosen path on return. `filter`: the filter list of the open
// and save modes. `flags`: OFN_ bits added in the open and save modes; in the folder mode only
// OFN_PATHMUSTEXIST counts, refusing a name that does not exist.
// Returns nonzero when the user confirmed a choice, 0 on cancel or for a mode outside 0..2 (for
// which nothing is shown).
int32_t WChooseFile(int32_t mode, HWND owner, const char* title, char* path, const char* filter,
                    uint32_t flags);
