// The button row of real dialogs: the installer's button specifications and every way of
// ending a dialog (a click, Enter, Escape, the close box), under Wine.
#include "dialogs/DialogRobot.h"

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

TEST(WMessageDialogButtons, OwnerIsDisabledWhileTheDialogRuns)
{
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                 nullptr, nullptr);
    Call call;
    call.owner = owner;
    EXPECT_EQ(0, robot::Show(call, [&](HWND d) {
        EXPECT_FALSE(IsWindowEnabled(owner));
        EXPECT_EQ(owner, GetWindow(d, GW_OWNER));
        EXPECT_FALSE(GetWindowLongPtrA(d, GWL_EXSTYLE) & WS_EX_TOPMOST);
        robot::Click(d, 1000);
    }));
    EXPECT_TRUE(IsWindowEnabled(owner));
    DestroyWindow(owner);
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
