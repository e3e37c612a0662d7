#pragma once
// Drives a real WMessageDialog from inside its own modal loop: a thread timer set before Show
// finds the dialog once it is visible, runs the test's checks and ends it as a person would.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "dialogs/WMessageDialog.h"

namespace robot {

struct Run {
    std::function<void(HWND)> act;
    // Further steps, one per timer tick after `act`: keys posted by a step have gone through
    // the dialog's own loop before the next step looks.
    std::vector<std::function<void(HWND)>> steps;
    size_t nextStep = 0;
    bool acted = false;
    bool forced = false;   // the dialog did not end by itself and was destroyed by the robot
    int ticksAfter = 0;
    HWND dialog = nullptr;
};

inline Run*& Current()
{
    static Run* run = nullptr;
    return run;
}

// The dialog of this thread only: test programs may run side by side on one desktop, each
// with dialogs of the same class.
inline HWND FindDialog()
{
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM out) WINAPI -> BOOL {
            char name[32] = "";
            GetClassNameA(w, name, sizeof name);
            if (lstrcmpA(name, "ZEB_UB_CLASS") != 0)
                return TRUE;
            *reinterpret_cast<HWND*>(out) = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

inline void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
{
    Run* run = Current();
    if (!run)
        return;
    HWND d = FindDialog();
    if (!run->acted) {
        if (d && IsWindowVisible(d)) {
            run->acted = true;
            run->dialog = d;
            run->act(d);
        }
        return;
    }
    if (d && run->nextStep < run->steps.size()) {
        run->steps[run->nextStep++](d);
        return;
    }
    // A dialog that outlives its ending action would block the whole test program.
    if (d && ++run->ticksAfter > 100) {
        run->forced = true;
        DestroyWindow(d);
    }
}

struct Call {
    const char* text = "Message";
    const char* caption = "Caption";
    const char* icon = nullptr;
    const char* buttons = nullptr;
    const char* markup = nullptr;
    int32_t* state = nullptr;
    char* value = nullptr;
    int32_t valueSize = 0;
    HWND owner = nullptr;
};

// Shows the dialog of `call`, runs `act` on it once it is visible, then each of `steps` on
// later ticks, and returns Show's result.
inline int32_t Show(const Call& call, std::function<void(HWND)> act, Run* out = nullptr,
                    std::vector<std::function<void(HWND)>> steps = {})
{
    Run run;
    run.act = std::move(act);
    run.steps = std::move(steps);
    Current() = &run;
    UINT_PTR timer = SetTimer(nullptr, 0, 10, &Tick);
    int32_t result = WMessageDialog::Show(call.owner, call.text, call.caption, call.icon, call.buttons, call.markup,
                                          call.state, call.value, call.valueSize);
    KillTimer(nullptr, timer);
    Current() = nullptr;
    EXPECT_TRUE(run.acted) << "the dialog never became visible";
    EXPECT_FALSE(run.forced) << "the dialog did not end by the test's action";
    EXPECT_EQ(run.steps.size(), run.nextStep) << "the dialog ended before its last step";
    EXPECT_EQ(nullptr, FindDialog()) << "the dialog window outlived Show";
    if (out)
        *out = run;
    return result;
}

// Ways of ending a dialog, as a person would.
inline void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
inline void KeyTo(HWND window, WPARAM key) { SendMessageA(window, WM_KEYDOWN, key, 0); }
inline void CloseBox(HWND dialog) { SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }

// A typed key as the dialog's loop receives it: posted to the focus, Alt marked as the system
// marks it, translated into its character by the loop. Shift+Tab holds Shift in the thread's
// key state until the next step.
inline void Type(WPARAM key, bool alt = false, bool shift = false)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    HWND focus = GetFocus() ? GetFocus() : GetActiveWindow();
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(static_cast<UINT>(key), 0)) << 16;
    const LPARAM context = alt ? LPARAM(1) << 29 : 0;
    PostMessageA(focus, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, scan | context | 1);
    PostMessageA(focus, alt ? WM_SYSKEYUP : WM_KEYUP, key, scan | context | 1 | (LPARAM(3) << 30));
}

inline std::string TextOf(HWND w)
{
    char buffer[1024] = "";
    GetWindowTextA(w, buffer, sizeof buffer);
    return buffer;
}

// A control's window rectangle in the dialog's client coordinates.
inline RECT RectIn(HWND dialog, HWND control)
{
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The message text, a static control of its own made after all others (identifier 102).
inline HWND MessageOf(HWND dialog) { return GetDlgItem(dialog, 102); }

// The controls of the mark-up and the buttons, in the order they were made; the message aside.
inline std::vector<HWND> Children(HWND dialog)
{
    std::vector<HWND> list;
    for (HWND w = GetWindow(dialog, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w != MessageOf(dialog))
            list.push_back(w);
    }
    return list;
}

inline uint32_t StyleOf(HWND w) { return static_cast<uint32_t>(GetWindowLongPtrA(w, GWL_STYLE)); }

// Text measured the way the dialog measures it: the system's message font, word-wrapped in the
// screen width - 100.
class Measure {
public:
    Measure()
    {
        NONCLIENTMETRICSA ncm{};
        ncm.cbSize = sizeof ncm;
        SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
        font = CreateFontIndirectA(&ncm.lfMessageFont);
        dc = GetDC(nullptr);
        old = SelectObject(dc, font);
        wrap = GetSystemMetrics(SM_CXSCREEN) - 100;
        SIZE s{};
        GetTextExtentPoint32A(dc, "WWWWWWWW", 8, &s);
        lineHeight = s.cy;
        charWidth = ((s.cx + 7) / 8 * 8) / 8;
    }
    ~Measure()
    {
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
        DeleteObject(font);
    }
    SIZE Text(const char* text, bool edit = false) const
    {
        RECT r{0, 0, wrap, 0};
        DrawTextA(dc, text, -1, &r, DT_CALCRECT | DT_WORDBREAK | (edit ? DT_EDITCONTROL : 0));
        return SIZE{r.right < wrap ? r.right : wrap, r.bottom};
    }
    HFONT font;
    HDC dc;
    HGDIOBJ old;
    int wrap;
    int lineHeight;
    int charWidth;
};

}  // namespace robot
