// WChooseFile with the real common dialog under Wine, alone and behind the browse button of a
// mark-up dialog's path field. A thread timer plays the user: it finds the chooser by its title
// and runs one step per tick (waiting for the folder to show, typing a name, clicking OK or
// Cancel), so every call below returns the way it would for a person.
#include <gtest/gtest.h>

#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "dialogs/WChooseFile.h"
#include "dialogs/WMessageDialog.h"

namespace {

// One step of the user's script, run on the chooser, or with `onDialog` on the mark-up dialog
// (once the chooser no longer blocks it). A step returns true when it is done.
struct Step {
    template <typename F>
    Step(F f) : run(std::move(f)) {}
    std::function<bool(HWND)> run;
    bool onDialog = false;
};

Step OnDialog(std::function<bool(HWND)> f)
{
    Step s(std::move(f));
    s.onDialog = true;
    return s;
}

HWND FindMessageDialog()
{
    HWND d = FindWindowA("ZEB_UB_CLASS", nullptr);
    return d && IsWindowVisible(d) && IsWindowEnabled(d) ? d : nullptr;
}

// One run at a time; the timer procedure finds its robot here.
class ChooserRobot;
ChooserRobot* activeRobot = nullptr;

class ChooserRobot {
public:
    ChooserRobot(std::string title, std::vector<Step> steps) : title(std::move(title)), steps(std::move(steps)) {}

    // Runs `call` (which opens the chooser) with the robot at work, and returns its result.
    int32_t Run(const std::function<int32_t()>& call)
    {
        activeRobot = this;
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, &ChooserRobot::Tick);
        const int32_t result = call();
        KillTimer(nullptr, timer);
        activeRobot = nullptr;
        EXPECT_EQ(steps.size(), next) << title << ": ended before step " << next;
        return result;
    }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        if (activeRobot && !activeRobot->busy) {
            activeRobot->busy = true;
            activeRobot->OnTick();
            activeRobot->busy = false;
        }
    }

    void OnTick()
    {
        HWND chooser = FindChooser();
        if (++ticks > kTickLimit) {
            ADD_FAILURE() << title << ": gave up at step " << next;
            CancelEverything();
            return;
        }
        if (next < steps.size()) {
            HWND target = steps[next].onDialog ? FindMessageDialog() : chooser;
            if (target && steps[next].run(target))
                ++next;
            return;
        }
        if (!chooser)
            return;
        // OK or Cancel hides the chooser at once; one still showing after the last step stays open.
        if (steps.empty() || ++ticksAfterLastStep > kLingerTicks) {
            ADD_FAILURE() << title << ": the chooser is still open after the last step";
            CancelEverything();
        }
    }

    HWND FindChooser() const
    {
        struct Search {
            const std::string* title;
            HWND found;
        } search{&title, nullptr};
        EnumThreadWindows(GetCurrentThreadId(), [](HWND w, LPARAM p) WINAPI -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            char text[256] = "";
            GetWindowTextA(w, text, sizeof text);
            if (IsWindowVisible(w) && *s->title == text) {
                s->found = w;
                return FALSE;
            }
            return TRUE;
        }, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    // Any message box the platform might show first, then the chooser, then the mark-up dialog.
    static void CancelEverything()
    {
        EnumThreadWindows(GetCurrentThreadId(), [](HWND w, LPARAM) WINAPI -> BOOL {
            if (IsWindowVisible(w))
                PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
            return TRUE;
        }, 0);
        if (HWND d = FindWindowA("ZEB_UB_CLASS", nullptr))
            PostMessageA(d, WM_CLOSE, 0, 0);
    }

    static constexpr int kTickLimit = 600;   // 30 s of 50 ms ticks
    static constexpr int kLingerTicks = 10;
    std::string title;
    std::vector<Step> steps;
    size_t next = 0;
    int ticks = 0;
    int ticksAfterLastStep = 0;
    bool busy = false;
};

std::string Text(HWND window)
{
    char text[512] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string FolderOf(HWND chooser)
{
    char folder[MAX_PATH] = "";
    SendMessageA(chooser, CDM_GETFOLDERPATH, sizeof folder, reinterpret_cast<LPARAM>(folder));
    return folder;
}

// The name field: the plain edit of the folder mode, or the edit inside the drop-down of the others.
HWND NameEdit(HWND chooser)
{
    if (HWND edit = GetDlgItem(chooser, edt1))
        return edit;
    HWND w = GetDlgItem(chooser, cmb13);
    while (w) {
        char cls[64] = "";
        GetClassNameA(w, cls, sizeof cls);
        if (lstrcmpiA(cls, "Edit") == 0)
            return w;
        w = GetWindow(w, GW_CHILD);
    }
    return nullptr;
}

Step WaitForFolder(const std::string& folder)
{
    return [folder](HWND chooser) { return lstrcmpiA(FolderOf(chooser).c_str(), folder.c_str()) == 0; };
}

Step TypeName(const std::string& name)
{
    return [name](HWND chooser) {
        HWND edit = NameEdit(chooser);
        EXPECT_NE(nullptr, edit);
        return edit && SetWindowTextA(edit, name.c_str());
    };
}

Step Click(int id)
{
    return [id](HWND chooser) {
        SendMessageA(GetDlgItem(chooser, id), BM_CLICK, 0, 0);
        return true;
    };
}

// Records every text put into the name field, to see what the OK button hands the platform.
std::vector<std::string> nameTexts;
WNDPROC nameEditProc = nullptr;

LRESULT CALLBACK RecordingEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETTEXT && lParam)
        nameTexts.push_back(reinterpret_cast<const char*>(lParam));
    return CallWindowProcA(nameEditProc, edit, message, wParam, lParam);
}

Step RecordNameField()
{
    return [](HWND chooser) {
        nameTexts.clear();
        HWND edit = GetDlgItem(chooser, edt1);
        nameEditProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingEditProc)));
        return true;
    };
}

Step Check(std::function<void(HWND)> check)
{
    return [check](HWND chooser) {
        check(chooser);
        return true;
    };
}

class WChooseFileTest : public testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH], longTemp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        GetLongPathNameA(temp, longTemp, MAX_PATH);
        dir = std::string(longTemp) + "chooser-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(dir.c_str(), nullptr);
        CreateDirectoryA((dir + "\\Sub").c_str(), nullptr);
        HANDLE h = CreateFileA((dir + "\\notes.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        CloseHandle(h);
        std::memset(path, 0, sizeof path);
    }
    void TearDown() override
    {
        DeleteFileA((dir + "\\notes.txt").c_str());
        RemoveDirectoryA((dir + "\\Sub").c_str());
        RemoveDirectoryA(dir.c_str());
    }
    void SetPath(const std::string& text) { lstrcpynA(path, text.c_str(), sizeof path); }
    int32_t Choose(int32_t mode, const char* title, const char* filter, uint32_t flags, std::vector<Step> steps)
    {
        ChooserRobot robot(title, std::move(steps));
        return robot.Run([&] { return WChooseFile(mode, nullptr, title, path, filter, flags); });
    }

    std::string dir;
    char path[CHOOSER_PATH_SIZE];
};

const char kTextFilter[] = "Text files\0*.txt\0All files\0*.*\0";

TEST_F(WChooseFileTest, FolderModeClosesOnTheFolderItOpensIn)
{
    SetPath(dir);   // no final '\': "\*.(.)" is appended and the chooser opens inside the folder
    const int32_t result = Choose(CHOOSE_FOLDER, "Folder one", nullptr, 0, {
        WaitForFolder(dir),
        Check([&](HWND chooser) {
            EXPECT_EQ("OK", Text(GetDlgItem(chooser, IDOK)));
            EXPECT_EQ("Folder:", Text(GetDlgItem(chooser, stc3)));
            EXPECT_STRCASEEQ(dir.c_str(), Text(GetDlgItem(chooser, edt1)).c_str());
            EXPECT_STRCASEEQ(dir.c_str(), path);   // the buffer follows the chooser's folder
        }),
        Click(IDOK),
    });
    EXPECT_NE(0, result);
    EXPECT_STRCASEEQ(dir.c_str(), path);
}

TEST_F(WChooseFileTest, FolderModeOnADriveRoot)
{
    SetPath("C:\\");
    const int32_t result = Choose(CHOOSE_FOLDER, "Folder root", nullptr, 0, {WaitForFolder("C:\\"), Click(IDOK)});
    EXPECT_NE(0, result);
    EXPECT_STREQ("C:\\", path);
}

TEST_F(WChooseFileTest, FolderModeTakesTypedNames)
{
    struct Row {
        const char* typed;
        std::string expected;
    } rows[] = {
        {"Fresh", dir + "\\Fresh"},   // a new folder: the caller creates it
        {"Sub", dir + "\\Sub"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.typed);
        SetPath(dir);
        const int32_t result = Choose(CHOOSE_FOLDER, "Folder typed", nullptr, 0,
                                      {WaitForFolder(dir), RecordNameField(), TypeName(r.typed), Click(IDOK)});
        EXPECT_NE(0, result);
        EXPECT_STRCASEEQ(r.expected.c_str(), path);
        // OK marked the full path so that the platform returns it instead of browsing into it.
        const std::string marked = r.expected + "(.)";
        EXPECT_TRUE(std::any_of(nameTexts.begin(), nameTexts.end(),
                                [&](const std::string& t) { return lstrcmpiA(t.c_str(), marked.c_str()) == 0; }))
            << "no " << marked << " among " << nameTexts.size() << " texts";
    }
}

TEST_F(WChooseFileTest, FolderModeRefusesANewNameWhenThePathMustExist)
{
    SetPath(dir);
    bool stillOpen = false;
    std::string shown;
    const int32_t result = Choose(CHOOSE_FOLDER, "Folder strict", nullptr, OFN_PATHMUSTEXIST, {
        WaitForFolder(dir),
        TypeName("Fresh"),
        Click(IDOK),
        Check([&](HWND chooser) {
            stillOpen = true;
            shown = Text(GetDlgItem(chooser, edt1));
        }),
        Click(IDCANCEL),
    });
    EXPECT_TRUE(stillOpen);
    EXPECT_STRCASEEQ((dir + "\\Fresh").c_str(), shown.c_str());   // refused, shown without the mark
    EXPECT_EQ(0, result);
}

TEST_F(WChooseFileTest, FolderModeOffersTheFolderOfAFile)
{
    SetPath(dir + "\\");
    std::string offered;
    const int32_t result = Choose(CHOOSE_FOLDER, "Folder file", nullptr, 0, {
        WaitForFolder(dir),
        TypeName("notes.txt"),
        Click(IDOK),
        Check([&](HWND chooser) { offered = Text(GetDlgItem(chooser, edt1)); }),
        Click(IDOK),
    });
    EXPECT_STRCASEEQ(dir.c_str(), offered.c_str());
    EXPECT_NE(0, result);
    EXPECT_STRCASEEQ(dir.c_str(), path);
}

TEST_F(WChooseFileTest, OpenModeReturnsTheChosenFile)
{
    SetPath(dir + "\\");   // "*.*" is appended and the chooser opens in the folder
    const int32_t result = Choose(CHOOSE_OPEN, "Open one", kTextFilter, 0,
                                  {WaitForFolder(dir), TypeName("notes.txt"), Click(IDOK)});
    EXPECT_NE(0, result);
    EXPECT_STRCASEEQ((dir + "\\notes.txt").c_str(), path);
}

TEST_F(WChooseFileTest, SaveModeReturnsTheGivenName)
{
    SetPath(dir + "\\new.txt");
    std::string shown;
    const int32_t result = Choose(CHOOSE_SAVE, "Save one", kTextFilter, 0, {
        WaitForFolder(dir),
        Check([&](HWND chooser) { shown = Text(NameEdit(chooser)); }),
        Click(IDOK),
    });
    EXPECT_EQ("new.txt", shown);
    EXPECT_NE(0, result);
    EXPECT_STRCASEEQ((dir + "\\new.txt").c_str(), path);
}

TEST_F(WChooseFileTest, ModeOutOfRangeShowsNothing)
{
    // The robot has no steps: a chooser that opens anyway is cancelled and reported.
    SetPath(dir + "\\");
    EXPECT_EQ(0, Choose(3, "Nothing", kTextFilter, 0, {}));
    EXPECT_EQ(dir + "\\*.*", path);
    SetPath(dir);
    EXPECT_EQ(0, Choose(-1, "Nothing", kTextFilter, 0, {}));
    EXPECT_EQ(dir, path);
}

// The browse button of a path field, driven like the rest: the dialog's own steps click "..." and
// read the field once the chooser has gone.
class PathFieldTest : public WChooseFileTest {
protected:
    int32_t ShowPathField(const char* markup, const char* chooserTitle, std::vector<Step> steps)
    {
        ChooserRobot robot(chooserTitle, std::move(steps));
        return robot.Run([&] {
            return WMessageDialog::Show(nullptr, "Where?", "Path field", nullptr, "+OK|-Cancel", markup, nullptr,
                                        path, 0);
        });
    }
};

HWND PathEdit(HWND dialog) { return GetDlgItem(GetDlgItem(dialog, 401), 402); }

// Posted, so that the chooser runs in the dialog's loop and not inside the robot's tick.
Step ClickBrowse()
{
    return OnDialog([](HWND dialog) {
        return PostMessageA(GetDlgItem(GetDlgItem(dialog, 401), 403), BM_CLICK, 0, 0) != 0;
    });
}

Step ClickDialogButton(int index)
{
    return OnDialog([index](HWND dialog) {
        SendMessageA(GetDlgItem(dialog, 1000 + index), BM_CLICK, 0, 0);
        return true;
    });
}

TEST_F(PathFieldTest, BrowsePutsTheChosenFileIntoTheFieldAndValue)
{
    SetPath(dir + "\\");
    const std::string chosen = dir + "\\notes.txt";
    std::string firstType, fieldAfter, valueAfter;
    const int32_t result = ShowPathField("<B1>Open the report|Text files|*.txt|", "Open the report", {
        ClickBrowse(),
        WaitForFolder(dir),
        Check([&](HWND chooser) {
            char text[64] = "";
            SendDlgItemMessageA(chooser, cmb1, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(text));
            firstType = text;
        }),
        TypeName("notes.txt"),
        Click(IDOK),
        OnDialog([&](HWND dialog) {
            fieldAfter = Text(PathEdit(dialog));
            valueAfter = path;
            return true;
        }),
        ClickDialogButton(0),
    });
    EXPECT_EQ(0, result);
    EXPECT_EQ("Text files", firstType);   // the label's filter pair reached the chooser
    EXPECT_STRCASEEQ(chosen.c_str(), fieldAfter.c_str());
    EXPECT_STRCASEEQ(chosen.c_str(), valueAfter.c_str());
    EXPECT_STRCASEEQ(chosen.c_str(), path);
}

TEST_F(PathFieldTest, CancelledBrowseLeavesFieldAndValueAlone)
{
    // The user types a folder, browses from there, and cancels the chooser.
    SetPath(dir);
    const std::string typed = dir + "\\Sub";
    std::string fieldAfter, valueAfter;
    const int32_t result = ShowPathField("<B0>Choose a folder", "Choose a folder", {
        OnDialog([&](HWND dialog) { return SetWindowTextA(PathEdit(dialog), typed.c_str()) != 0; }),
        ClickBrowse(),
        WaitForFolder(typed),   // the chooser starts from what the field shows
        Click(IDCANCEL),
        OnDialog([&](HWND dialog) {
            fieldAfter = Text(PathEdit(dialog));
            valueAfter = path;
            return true;
        }),
        ClickDialogButton(1),
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ(typed, fieldAfter);
    EXPECT_EQ(dir, valueAfter);
    EXPECT_EQ(typed, path);   // what the field shows when the dialog closes comes back
}

TEST_F(PathFieldTest, BrowseModeThreeShowsNothingAndChangesNothing)
{
    SetPath(dir + "\\");
    const std::string original = path;
    std::string fieldAfter;
    const int32_t result = ShowPathField("<B3>Nothing to choose", "Nothing to choose", {
        ClickBrowse(),
        OnDialog([&](HWND dialog) {
            fieldAfter = Text(PathEdit(dialog));
            return true;
        }),
        ClickDialogButton(0),
    });
    EXPECT_EQ(0, result);
    EXPECT_EQ(original, fieldAfter);   // no "*.*" from the pattern step
    EXPECT_EQ(original, path);
}

}  // namespace
