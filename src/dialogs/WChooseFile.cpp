#include "dialogs/WChooseFile.h"

#include <commdlg.h>
#include <dlgs.h>

#include <cstddef>
#include <cstring>

namespace {

// OFN_ENABLESIZING | OFN_EXPLORER | OFN_NOVALIDATE | OFN_ENABLEHOOK | OFN_HIDEREADONLY
constexpr DWORD kFolderFlags = 0x00880124;
static_assert(kFolderFlags ==
              (OFN_ENABLESIZING | OFN_EXPLORER | OFN_NOVALIDATE | OFN_ENABLEHOOK | OFN_HIDEREADONLY),
              "folder mode flags");
// The NT 4 form of the record gives the chooser without the places bar, whose name field is the
// plain edit edt1 once a hook is installed.
constexpr DWORD kRecordSize = offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR);
static_assert(kRecordSize == sizeof(OPENFILENAME_NT4A), "the NT 4 form of the record");
static_assert(sizeof(void*) != 4 || kRecordSize == 76, "76-byte chooser record");

const char kFoldersFilter[] = "Folders\0*.(.)\0";   // the literal's own zero ends the list

// The chooser window's previous procedure lives in a property of that window, so the record
// and its lCustData stay exactly as the platform sees them.
const char kPreviousProc[] = "WChooseFile.previous";

void SetNameField(HWND chooser, const char* text)
{
    SendMessageA(chooser, CDM_SETCONTROLTEXT, edt1, reinterpret_cast<LPARAM>(text));
}

// The name field's entry as a full path, into `out` (CHOOSER_PATH_SIZE bytes). The folder mode
// fills the name field with full paths; those are taken as they stand, because Wine's
// CDM_GETFILEPATH puts the current folder in front of whatever the field holds.
int NameFieldPath(HWND chooser, char* out)
{
    char text[CHOOSER_PATH_SIZE];
    LRESULT n = SendMessageA(chooser, CDM_GETSPEC, sizeof text, reinterpret_cast<LPARAM>(text));
    if (n > 0 && n <= static_cast<LRESULT>(sizeof text)) {
        text[sizeof text - 1] = 0;
        if (IsFullPath(text)) {
            std::strcpy(out, text);
            return 1;
        }
    }
    n = SendMessageA(chooser, CDM_GETFILEPATH, sizeof text, reinterpret_cast<LPARAM>(text));
    if (n <= 0 || n > static_cast<LRESULT>(sizeof text))
        return 0;
    text[sizeof text - 1] = 0;
    std::strcpy(out, text);
    return 1;
}

void SubclassChooser(HWND chooser, OPENFILENAMEA* record)
{
    if (GetPropA(chooser, kPreviousProc))
        return;
    SetWindowLongPtrA(chooser, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(record));
    SetPropA(chooser, kPreviousProc, reinterpret_cast<HANDLE>(GetWindowLongPtrA(chooser, GWLP_WNDPROC)));
    SetWindowLongPtrA(chooser, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WChooseFile::FolderFrameProc));
}

// CDN_FILEOK of the folder mode: true lets the chooser close with `path`, false keeps it open.
bool AcceptFolder(HWND chooser, const OPENFILENAMEA* record, char* path)
{
    char chosen[CHOOSER_PATH_SIZE];
    if (NameFieldPath(chooser, chosen))
        std::strcpy(path, chosen);
    StripFolderMark(path);
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            return true;
        // A file: offer its folder, which a second OK then accepts.
        if (CutToFolder(path))
            SetNameField(chooser, path);
        return false;
    }
    const DWORD error = GetLastError();
    // A new name may be chosen unless the caller wants existing folders; a malformed one never.
    if (!(record->lCustData & OFN_PATHMUSTEXIST) && (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND))
        return true;
    // The user gets back what was typed, without the mark put on for the OK button.
    SetNameField(chooser, path);
    return false;
}

}  // namespace

UINT_PTR CALLBACK WChooseFile::FolderHook(HWND hook, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_NOTIFY)
        return 0;
    const OFNOTIFYA* note = reinterpret_cast<const OFNOTIFYA*>(lParam);
    OPENFILENAMEA* record = note->lpOFN;
    if (!record || !record->lpstrFile)
        return 0;
    HWND chooser = GetParent(hook);
    char* path = record->lpstrFile;
    switch (note->hdr.code) {
    case CDN_INITDONE:
        SendMessageA(chooser, CDM_SETCONTROLTEXT, IDOK, reinterpret_cast<LPARAM>("OK"));
        SendMessageA(chooser, CDM_SETCONTROLTEXT, stc3, reinterpret_cast<LPARAM>("Folder:"));
        SetNameField(chooser, path);
        SubclassChooser(chooser, record);
        return 0;
    case CDN_SELCHANGE:
    case CDN_FOLDERCHANGE: {
        // A folder without a file-system path (the desktop's virtual folders) changes nothing.
        char folder[CHOOSER_PATH_SIZE];
        const LRESULT n = SendMessageA(chooser, CDM_GETFOLDERPATH, sizeof folder, reinterpret_cast<LPARAM>(folder));
        if (n > 0 && n <= static_cast<LRESULT>(sizeof folder)) {
            folder[sizeof folder - 1] = 0;
            std::strcpy(path, folder);
            SetNameField(chooser, path);
        }
        return 0;
    }
    case CDN_FILEOK:
        if (AcceptFolder(chooser, record, path))
            return 0;
        SetWindowLongPtrA(hook, DWLP_MSGRESULT, 1);
        return 1;
    default:
        return 0;
    }
}

LRESULT CALLBACK WChooseFile::FolderFrameProc(HWND chooser, UINT message, WPARAM wParam, LPARAM lParam)
{
    const WNDPROC previous = reinterpret_cast<WNDPROC>(GetPropA(chooser, kPreviousProc));
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK && HIWORD(wParam) == BN_CLICKED) {
        auto* record = reinterpret_cast<OPENFILENAMEA*>(GetWindowLongPtrA(chooser, GWLP_USERDATA));
        char chosen[CHOOSER_PATH_SIZE];
        // Without room for the mark the chooser browses into the folder instead of closing.
        if (record && record->lpstrFile && NameFieldPath(chooser, chosen) && AddFolderMark(chosen)) {
            std::strcpy(record->lpstrFile, chosen);
            SetNameField(chooser, chosen);
        }
    } else if (message == WM_NCDESTROY) {
        RemovePropA(chooser, kPreviousProc);
        if (previous)
            SetWindowLongPtrA(chooser, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    }
    if (!previous)
        return DefWindowProcA(chooser, message, wParam, lParam);
    return CallWindowProcA(previous, chooser, message, wParam, lParam);
}

int32_t WChooseFile(int32_t mode, HWND owner, const char* title, char* path, const char* filter,
                    uint32_t flags)
{
    if (!path)
        return 0;
    OPENFILENAMEA record;
    // The whole record is cleared: Wine copies all of it, whatever lStructSize says.
    std::memset(&record, 0, sizeof record);
    AppendChooserPattern(path, mode);
    if (mode < CHOOSE_FOLDER || mode > CHOOSE_SAVE)
        return 0;
    record.lStructSize = kRecordSize;
    record.hwndOwner = owner;
    record.lpstrFile = path;
    record.nMaxFile = CHOOSER_PATH_SIZE;
    record.lpstrTitle = title;
    if (mode == CHOOSE_FOLDER) {
        record.lpstrFilter = kFoldersFilter;
        record.lCustData = flags;
        record.lpfnHook = &WChooseFile::FolderHook;
        record.Flags = kFolderFlags;
    } else {
        record.lpstrFilter = filter;
        record.Flags = flags | OFN_ENABLESIZING | OFN_EXPLORER;
    }
    if (mode == CHOOSE_SAVE)
        return GetSaveFileNameA(&record);
    return GetOpenFileNameA(&record);
}
