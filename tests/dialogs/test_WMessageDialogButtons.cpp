// The button row of real dialogs: the installer's button specifications and every way of
// ending a dialog (a click, Enter, Escape, the close box), under Wine.
#include "dialogs/DialogRobot.h"

#include <algorithm>

using robot::Call;

namespace {

HWND Button(HWND dialog, int i) { return GetDlgItem(dialog, 1000 + i); }

TEST(WMessageDialogButtons, NullSpecificationIsOneOkButtonForEveryEnding)
{
    Call call;
    const std::function<void(HWND)> endings[] = {
        [](HWND d) { robot::KeyTo(d, VK_RETURN); },
        [](HWND) { robot::KeyTo(GetFocus(), VK_ESCAPE); },   // the focused button hands it on
        [](HWND d) { robot::Click(d, 1000); },
        [](HWND d) { robot::CloseBox(d); },
        [](HWND d) { robot::KeyTo(Button(d, 0), VK_RETURN); },   // Enter on the focused button
    };
    for (const auto& end : endings) {
        EXPECT_EQ(0, robot::Show(call, [&](HWND d) {
            EXPECT_EQ("&OK", robot::TextOf(Button(d, 0)));
            EXPECT_EQ(0x50010001u, robot::StyleOf(Button(d, 0)));
            EXPECT_EQ(nullptr, Button(d, 1));
            EXPECT_EQ(Button(d, 0), GetFocus());
            EXPECT_EQ(0x80C80000u, robot::StyleOf(d) & 0x80C80000u);
            const LONG_PTR ex = GetWindowLongPtrA(d, GWL_EXSTYLE);
            EXPECT_EQ(0x00040009, ex & 0x00040009);   // top-most without an owner
            EXPECT_EQ("Caption", robot::TextOf(d));
            end(d);
        }));
    }
}

struct Ending {
    const char* buttons;
    std::function<void(HWND)> end;
    int32_t result;
};

TEST(WMessageDialogButtons, InstallerSpecificationsGiveTheirPositions)
{
    const char* contAbort = "+&Continue|-&Abort";
    const char* bootable = "+&Install FreeDos|&Modify current OS|-&Abort install";
    const char* gpl = "+&Continue|-&Abort installation|&Show GPL license";
    const Ending rows[] = {
        {contAbort, [](HWND d) { robot::Click(d, 1000); }, 0},
        {contAbort, [](HWND d) { robot::Click(d, 1001); }, 1},
        {contAbort, [](HWND d) { robot::KeyTo(d, VK_RETURN); }, 0},
        {contAbort, [](HWND d) { robot::KeyTo(d, VK_ESCAPE); }, 1},
        {contAbort, [](HWND d) { robot::CloseBox(d); }, 1},
        {contAbort, [](HWND d) { SendMessageA(d, WM_CLOSE, 0, 0); }, 1},
        {bootable, [](HWND d) { robot::Click(d, 1000); }, 0},
        {bootable, [](HWND d) { robot::Click(d, 1001); }, 1},
        {bootable, [](HWND d) { robot::Click(d, 1002); }, 2},
        {bootable, [](HWND d) { robot::KeyTo(d, VK_RETURN); }, 0},
        {bootable, [](HWND) { robot::KeyTo(GetFocus(), VK_ESCAPE); }, 2},
        {gpl, [](HWND d) { robot::Click(d, 1002); }, 2},
        {gpl, [](HWND d) { robot::KeyTo(d, VK_ESCAPE); }, 1},
        {gpl, [](HWND d) { robot::KeyTo(d, VK_RETURN); }, 0},
    };
    for (const Ending& row : rows) {
        SCOPED_TRACE(row.buttons);
        Call call;
        call.buttons = row.buttons;
        EXPECT_EQ(row.result, robot::Show(call, [&](HWND d) {
            // Marks are taken off; only '+' labels get the default look.
            if (row.buttons == gpl) {
                EXPECT_EQ("&Show GPL license", robot::TextOf(Button(d, 2)));
                EXPECT_EQ(0x50010000u, robot::StyleOf(Button(d, 2)));
                EXPECT_EQ("&Abort installation", robot::TextOf(Button(d, 1)));
            }
            if (row.buttons == bootable) {
                EXPECT_EQ("&Modify current OS", robot::TextOf(Button(d, 1)));
            }
            EXPECT_EQ(0x50010001u, robot::StyleOf(Button(d, 0)));
            EXPECT_EQ(0x50010000u, robot::StyleOf(Button(d, 1)));
            row.end(d);
        }));
    }
}

// The licence question from the keyboard alone: the focus starts in the licence text, Tab goes
// round every enabled control both ways, Space ticks the box, and the access key of Continue
// works only once Continue is enabled.
TEST(WMessageDialogButtons, LicenceQuestionByKeyboardAlone)
{
    char licence[] = "Licence text.";
    int32_t state = 0;
    Call call;
    call.buttons = "+&Continue|-&Abort";
    call.markup = "<E10><C15>I have read and fully agree to this license agreement<F2>";
    call.state = &state;
    call.value = licence;
    auto defaultIs = [](int i) {
        return [i](HWND d) {
            EXPECT_EQ(i == 0 ? 0x50010001u : 0x50010000u, robot::StyleOf(Button(d, 0)) & ~WS_DISABLED);
            EXPECT_EQ(i == 1 ? 0x50010001u : 0x50010000u, robot::StyleOf(Button(d, 1)));
        };
    };
    auto focusIs = [](int id) {
        return [id](HWND d) {
            EXPECT_EQ(GetDlgItem(d, id), GetFocus()) << "focus expected on " << id;
        };
    };
    const int32_t result = robot::Show(
        call,
        [&](HWND d) {
            focusIs(400)(d);
            robot::Type('A');          // typed into the text, not an access key
            robot::Type(VK_TAB);
        },
        nullptr,
        {
            [&](HWND d) {
                focusIs(515)(d);
                robot::Type('C', true);   // Continue is still disabled
            },
            [&](HWND d) {
                EXPECT_FALSE(IsWindowEnabled(Button(d, 0)));
                robot::Type(VK_SPACE);
            },
            [&](HWND d) {
                EXPECT_TRUE(IsWindowEnabled(Button(d, 0)));
                robot::Type(VK_TAB);
            },
            [&](HWND d) {
                focusIs(1000)(d);
                defaultIs(0)(d);
                robot::Type(VK_TAB);
            },
            [&](HWND d) {
                // The focused push button takes the default look, as Enter would press it.
                focusIs(1001)(d);
                defaultIs(1)(d);
                robot::Type(VK_TAB);   // round to the start
            },
            [&](HWND d) {
                focusIs(400)(d);
                defaultIs(0)(d);   // back to the '+' button away from the buttons
                robot::Type(VK_TAB, false, true);   // and back
            },
            [&](HWND d) { focusIs(1001)(d); robot::Type(VK_TAB, false, true); },
            [&](HWND d) {
                focusIs(1000)(d);
                SetFocus(d);   // from the dialog itself, Tab starts at the first control
                robot::Type(VK_TAB);
            },
            [&](HWND d) {
                focusIs(400)(d);
                robot::Type('C', true);
            },
        });
    EXPECT_EQ(0, result);
    EXPECT_EQ(0x8000, state);
    EXPECT_STREQ("Licence text.", licence);
}

// The UI-state changes asked of the dialog window, as a hook on this thread sees them.
std::vector<WPARAM> uiChanges;
LRESULT CALLBACK RecordUiChange(int code, WPARAM wp, LPARAM lp)
{
    const CWPSTRUCT* m = reinterpret_cast<const CWPSTRUCT*>(lp);
    char name[32] = "";
    if (code == HC_ACTION && m->message == WM_CHANGEUISTATE && GetClassNameA(m->hwnd, name, sizeof name) &&
        lstrcmpA(name, "ZEB_UB_CLASS") == 0)
        uiChanges.push_back(m->wParam);
    return CallNextHookEx(nullptr, code, wp, lp);
}

// As the dialog manager does: the dialog's UI state starts from the system's setting (the
// keyboard cues hidden until the keyboard is used, by default), Tab and the arrows show the focus
// rectangle, Alt the access-key underlines, an access key both. Wine keeps no UI state of its
// own, so the requests are what is checked.
TEST(WMessageDialogButtons, KeyboardCuesAppearAsTheKeyboardIsUsed)
{
    BOOL cues = FALSE;
    SystemParametersInfoA(SPI_GETKEYBOARDCUES, 0, &cues, 0);
    SystemParametersInfoA(SPI_SETKEYBOARDCUES, 0, reinterpret_cast<void*>(FALSE), 0);
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, &RecordUiChange, nullptr, GetCurrentThreadId());
    ASSERT_NE(nullptr, hook);
    const WPARAM initialize = MAKEWPARAM(UIS_INITIALIZE, 0);
    const WPARAM showFocus = MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS);
    const WPARAM showAccel = MAKEWPARAM(UIS_CLEAR, UISF_HIDEACCEL);
    const WPARAM showBoth = MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS | UISF_HIDEACCEL);
    for (WPARAM key : {WPARAM(VK_TAB), WPARAM(VK_RIGHT), WPARAM(VK_DOWN)}) {
        SCOPED_TRACE(key);
        uiChanges.clear();
        std::vector<WPARAM> seen;
        Call call;
        call.buttons = "+&Continue|-&Abort";
        call.markup = "<C3>&Verbose";
        EXPECT_EQ(1, robot::Show(
                         call,
                         [&](HWND) {
                             seen = uiChanges;
                             robot::Type('Q');   // a letter alone shows nothing
                         },
                         nullptr,
                         {
                             [&](HWND) {
                                 EXPECT_EQ(seen, uiChanges);
                                 robot::Type(key);
                             },
                             [&](HWND) {
                                 seen.push_back(showFocus);
                                 EXPECT_EQ(seen, uiChanges);
                                 // Alt pressed, not yet let go (letting go alone would
                                 // open the system menu).
                                 PostMessageA(GetFocus(), WM_SYSKEYDOWN, VK_MENU,
                                              (LPARAM(MapVirtualKeyA(VK_MENU, 0)) << 16) | (LPARAM(1) << 29) | 1);
                             },
                             [&](HWND) {
                                 seen.push_back(showAccel);
                                 EXPECT_EQ(seen, uiChanges);
                                 robot::Type('V', true);
                             },
                             [&](HWND d) {
                                 seen.push_back(showBoth);
                                 EXPECT_EQ(seen, uiChanges);
                                 robot::Click(d, 1001);
                             },
                         }));
        ASSERT_FALSE(seen.empty());
        EXPECT_EQ(initialize, seen.front());   // asked once, before the dialog is used
        EXPECT_EQ(1, std::count(seen.begin(), seen.end(), initialize));
    }
    UnhookWindowsHookEx(hook);
    SystemParametersInfoA(SPI_SETKEYBOARDCUES, 0, reinterpret_cast<void*>(static_cast<INT_PTR>(cues)), 0);
}

struct KeyRow {
    const char* buttons;
    const char* markup;
    int focus;   // control given the focus first; 0 for the dialog itself
    WPARAM key;
    bool alt;
    int32_t result;   // -2: the key must not end the dialog
    int32_t state;
};

// Access keys press what a click presses, with Alt anywhere in the dialog and alone on a
// button or a check box; elsewhere a letter is only a letter.
TEST(WMessageDialogButtons, AccessKeysPressTheirButtonOrBox)
{
    const char* bootable = "+&Install FreeDos|&Modify current OS|-&Abort install";
    const KeyRow rows[] = {
        {bootable, nullptr, 1000, 'M', false, 1, 0},
        {bootable, nullptr, 1002, 'I', false, 0, 0},
        {bootable, nullptr, 0, 'A', true, 2, 0},
        {bootable, nullptr, 0, 'M', false, -2, 0},    // the dialog itself: no access key alone
        {bootable, nullptr, 1000, 'Z', true, -2, 0},  // no such key
        {bootable, "<E>", 400, 'M', false, -2, 0},    // typed into the edit
        {bootable, "<E><C3>&Verbose", 400, 'V', true, -2, 8},   // the box toggles, like a click
        {bootable, "<E><C3>&Verbose", 503, 'V', false, -2, 8},
        {bootable, "<C3>&Verbose<R4>&Quiet", 1000, 'Q', true, -2, 16},
        {"+&Go|-&Stop", "<C15>&Yes<F2>", 515, 'G', true, -2, 0},   // Go is disabled
        {"+&Go|-&Stop", "<C15>&Yes<F2>", 0, 'Y', true, -2, 0x8000},
    };
    for (const KeyRow& row : rows) {
        SCOPED_TRACE(testing::Message() << row.buttons << " " << (row.markup ? row.markup : "") << " focus "
                                        << row.focus << " key " << static_cast<char>(row.key));
        char value[16] = "";
        int32_t state = 0;
        Call call;
        call.buttons = row.buttons;
        call.markup = row.markup;
        call.state = &state;
        call.value = value;
        call.valueSize = sizeof value;
        std::vector<std::function<void(HWND)>> after;
        if (row.result == -2) {
            // Still open, as it must be: the cancel button ends it.
            after.push_back([&](HWND d) { robot::Click(d, row.buttons == bootable ? 1002 : 1001); });
        }
        const int32_t result = robot::Show(
            call,
            [&](HWND d) {
                SetFocus(row.focus ? GetDlgItem(d, row.focus) : d);
                robot::Type(row.key, row.alt);
            },
            nullptr, after);
        EXPECT_EQ(row.result == -2 ? (row.buttons == bootable ? 2 : 1) : row.result, result);
        EXPECT_EQ(row.state, state);
        EXPECT_STREQ(row.key == 'M' && row.markup ? "m" : "", value);
    }
}

// A lone unmarked button under the acceptance flag is held like any default button, and the
// focus starts on the box because the button cannot take it.
TEST(WMessageDialogButtons, LoneButtonWaitsForTheAcceptanceBox)
{
    int32_t state = 0;
    Call call;
    call.buttons = "Go";
    call.markup = "<C15>I agree<F2>";
    call.state = &state;
    EXPECT_EQ(0, robot::Show(
                     call,
                     [](HWND d) {
                         EXPECT_FALSE(IsWindowEnabled(Button(d, 0)));
                         EXPECT_EQ(GetDlgItem(d, 515), GetFocus());
                         robot::KeyTo(GetFocus(), VK_RETURN);   // nothing while disabled
                         robot::Type(VK_SPACE);
                     },
                     nullptr,
                     {[](HWND d) {
                          EXPECT_TRUE(IsWindowEnabled(Button(d, 0)));
                          robot::Type(VK_TAB);
                      },
                      [](HWND d) {
                          EXPECT_EQ(Button(d, 0), GetFocus());
                          robot::Type(VK_RETURN);
                      }}));
    EXPECT_EQ(0x8000, state);
}

// Without a cancel button Escape and the close box have no answer to give: they are ignored
// (the close box is greyed), and a button still ends the dialog.
TEST(WMessageDialogButtons, WithoutCancelButtonEscapeAndCloseBoxAreIgnored)
{
    Call call;
    call.buttons = "+&Yes|&No";
    EXPECT_EQ(1, robot::Show(call, [](HWND d) {
        robot::KeyTo(d, VK_ESCAPE);
        robot::KeyTo(GetFocus(), VK_ESCAPE);
        robot::CloseBox(d);
        SendMessageA(d, WM_CLOSE, 0, 0);
        ASSERT_TRUE(IsWindow(d));
        const UINT state = GetMenuState(GetSystemMenu(d, FALSE), SC_CLOSE, MF_BYCOMMAND);
        EXPECT_TRUE(state & MF_GRAYED);
        robot::Click(d, 1001);
    }));
}

// A window destroyed by someone else ends the loop all the same, with no choice made.
TEST(WMessageDialogButtons, DestroyedFromOutsideEndsWithoutChoice)
{
    Call call;
    call.buttons = "+&Yes|&No";
    EXPECT_EQ(-1, robot::Show(call, [](HWND d) { DestroyWindow(d); }));
    call.buttons = "+&Yes|-&No";
    EXPECT_EQ(1, robot::Show(call, [](HWND d) { DestroyWindow(d); }));
}

// WM_QUIT ends the loop before any choice: the window is gone when Show returns, the result is
// -1 and the state word comes back as it went in, whatever was ticked meanwhile.
TEST(WMessageDialogButtons, QuitMessageEndsTheLoopAndTakesTheWindow)
{
    Call call;
    call.buttons = "+&Continue|-&Abort";
    call.markup = "<C0>one<C1>two";
    int32_t state = 2;
    call.state = &state;
    HWND seen = nullptr;
    EXPECT_EQ(-1, robot::Show(call, [&](HWND d) {
        seen = d;
        robot::Click(d, 500);
        PostQuitMessage(0);
    }));
    EXPECT_FALSE(IsWindow(seen));
    EXPECT_EQ(2, state);
    // The next call works as usual.
    EXPECT_EQ(0, robot::Show(call, [](HWND d) { robot::Click(d, 1000); }));
}

// Whether the owner was enabled when the dialog window went, seen from the dialog's procedure.
HWND watchedOwner = nullptr;
int ownerEnabledAtDestroy = -1;
WNDPROC dialogProc = nullptr;
LRESULT CALLBACK WatchDestroy(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m == WM_DESTROY)
        ownerEnabledAtDestroy = IsWindowEnabled(watchedOwner) ? 1 : 0;
    return CallWindowProcA(dialogProc, w, m, wp, lp);
}

// The owner is disabled while the dialog runs and enabled again before the dialog window goes,
// whichever way it ends, so the system can hand the activation back to it; the focus returns
// to the control that had it before the dialog, with or without an owner.
TEST(WMessageDialogButtons, OwnerAndFocusAreGivenBack)
{
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 200, 50, nullptr, nullptr,
                                 nullptr, nullptr);
    HWND edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, owner, nullptr, nullptr,
                                nullptr);
    watchedOwner = owner;
    const std::function<void(HWND)> endings[] = {
        [](HWND d) { robot::Click(d, 1000); },
        [](HWND d) { robot::KeyTo(d, VK_ESCAPE); },
        [](HWND d) { robot::CloseBox(d); },
    };
    for (const auto& end : endings) {
        for (bool owned : {true, false}) {
            SCOPED_TRACE(owned ? "with owner" : "without owner");
            SetFocus(edit);
            ASSERT_EQ(edit, GetFocus());
            ownerEnabledAtDestroy = -1;
            Call call;
            call.buttons = "+&Yes|-&No";
            call.owner = owned ? owner : nullptr;
            robot::Show(call, [&](HWND d) {
                EXPECT_EQ(!owned, IsWindowEnabled(owner) != FALSE);
                if (owned) {
                    EXPECT_EQ(owner, GetWindow(d, GW_OWNER));
                    EXPECT_FALSE(GetWindowLongPtrA(d, GWL_EXSTYLE) & WS_EX_TOPMOST);
                }
                dialogProc = reinterpret_cast<WNDPROC>(
                    SetWindowLongPtrA(d, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchDestroy)));
                end(d);
            });
            EXPECT_EQ(1, ownerEnabledAtDestroy);
            EXPECT_TRUE(IsWindowEnabled(owner));
            EXPECT_EQ(edit, GetFocus());
        }
    }
    DestroyWindow(owner);
}

// Coming to the front lowers the foreground lock time-out for a moment only.
TEST(WMessageDialogButtons, ForegroundLockTimeoutIsSetBack)
{
    DWORD saved = 0;
    SystemParametersInfoA(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &saved, 0);
    SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, reinterpret_cast<void*>(UINT_PTR{12345}), 0);
    auto timeout = [] {
        DWORD t = 0;
        SystemParametersInfoA(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &t, 0);
        return t;
    };
    Call call;
    robot::Show(call, [&](HWND d) {
        EXPECT_EQ(12345u, timeout());
        EXPECT_EQ(d, GetForegroundWindow());
        robot::Click(d, 1000);
    });
    EXPECT_EQ(12345u, timeout());
    SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, reinterpret_cast<void*>(static_cast<UINT_PTR>(saved)), 0);
}

}  // namespace

// Another program closing the dialog with a sent message ends the call; nothing else is posted
// to the dialog's thread meanwhile, so only the dialog itself can wake its loop.
TEST(WMessageDialogButtons, ClosedByAnotherThreadEndsTheCall)
{
    struct Shared {
        DWORD dialogThread;
        volatile LONG returned;
        volatile LONG rescued;
    } shared{GetCurrentThreadId(), 0, 0};
    HANDLE closer = CreateThread(
        nullptr, 0,
        [](LPVOID p) WINAPI -> DWORD {
            Shared* s = static_cast<Shared*>(p);
            HWND d = nullptr;
            for (int i = 0; i < 500 && !d; ++i) {
                Sleep(10);
                EnumThreadWindows(
                    s->dialogThread,
                    [](HWND w, LPARAM out) WINAPI -> BOOL {
                        char name[32] = "";
                        GetClassNameA(w, name, sizeof name);
                        if (lstrcmpA(name, "ZEB_UB_CLASS") != 0 || !IsWindowVisible(w))
                            return TRUE;
                        *reinterpret_cast<HWND*>(out) = w;
                        return FALSE;
                    },
                    reinterpret_cast<LPARAM>(&d));
            }
            if (!d)
                return 1;
            SendMessageA(d, WM_CLOSE, 0, 0);
            for (int i = 0; i < 300 && !s->returned; ++i)
                Sleep(10);
            if (!s->returned) {
                // Wake the stuck loop so the failure is reported instead of hanging the run.
                s->rescued = 1;
                PostThreadMessageA(s->dialogThread, WM_NULL, 0, 0);
            }
            return 0;
        },
        &shared, 0, nullptr);
    ASSERT_NE(nullptr, closer);
    const int32_t result =
        WMessageDialog::Show(nullptr, "Message", "Caption", nullptr, "+&Retry|-&Cancel", nullptr, nullptr, nullptr, 0);
    shared.returned = 1;
    WaitForSingleObject(closer, 10000);
    CloseHandle(closer);
    EXPECT_EQ(0, shared.rescued) << "the loop waited on after the window was gone";
    EXPECT_EQ(1, result);
    EXPECT_EQ(nullptr, robot::FindDialog());
}
