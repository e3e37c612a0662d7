#include "dialogs/DialogKeys.h"

#include "dialogs/rules/ButtonSpec.h"
#include "dialogs/rules/MarkupLimits.h"

namespace {

bool IsButtonClass(HWND w)
{
    char name[16] = "";
    GetClassNameA(w, name, sizeof name);
    return lstrcmpiA(name, "Button") == 0;
}

// The controls in the order they were made, which is the focus order. The path field counts as
// its edit and its browse button, which are the ones that can hold the focus.
int32_t FocusOrder(HWND dialog, HWND* order)
{
    constexpr int32_t kMax = MARKUP_MAX_CONTROLS + 2;
    int32_t n = 0;
    for (HWND w = GetWindow(dialog, GW_CHILD); w && n < kMax; w = GetWindow(w, GW_HWNDNEXT)) {
        if (GetDlgCtrlID(w) != ID_PATH) {
            order[n++] = w;
            continue;
        }
        for (HWND inner = GetWindow(w, GW_CHILD); inner && n < kMax; inner = GetWindow(inner, GW_HWNDNEXT))
            order[n++] = inner;
    }
    return n;
}

bool IsTabStop(HWND w)
{
    return IsWindowVisible(w) && IsWindowEnabled(w) && (GetWindowLongPtrA(w, GWL_STYLE) & WS_TABSTOP);
}

// The button or check box whose label underlines `key`, first in focus order.
HWND AccessKeyControl(HWND dialog, char key)
{
    if (key >= 'A' && key <= 'Z')
        key = static_cast<char>(key - 'A' + 'a');
    HWND order[MARKUP_MAX_CONTROLS + 2];
    const int32_t n = FocusOrder(dialog, order);
    for (int32_t i = 0; i < n; ++i) {
        char label[MARKUP_MAX_LABEL + 1] = "";
        if (!IsButtonClass(order[i]) || !GetWindowTextA(order[i], label, sizeof label))
            continue;
        if (AccessKey(label) == key)
            return order[i];
    }
    return nullptr;
}

// As the dialog manager does: the focus rectangle appears once Tab or an arrow key is used, the
// access-key underlines once Alt is pressed.
void ShowKeyboardCues(HWND dialog, const MSG& msg)
{
    WPARAM hide = 0;
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
        switch (msg.wParam) {
        case VK_TAB:
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
            hide = UISF_HIDEFOCUS;
            break;
        case VK_MENU:
            hide = UISF_HIDEACCEL;
            break;
        default:
            break;
        }
    }
    if (msg.message == WM_SYSCHAR)
        hide = UISF_HIDEACCEL | UISF_HIDEFOCUS;
    // The system passes a real change on to every control and ignores the rest.
    if (hide)
        SendMessageA(dialog, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, hide), 0);
}

}  // namespace

HWND NextTabStop(HWND dialog, HWND focus, bool backward)
{
    HWND order[MARKUP_MAX_CONTROLS + 2];
    const int32_t n = FocusOrder(dialog, order);
    int32_t at = backward ? n : -1;
    for (int32_t i = 0; i < n; ++i) {
        if (focus && (order[i] == focus || IsChild(order[i], focus)))
            at = i;
    }
    for (int32_t step = 1; step <= n; ++step) {
        const int32_t i = ((at + (backward ? -step : step)) % n + n) % n;
        if (IsTabStop(order[i]))
            return order[i];
    }
    return nullptr;
}

bool DialogKey(HWND dialog, const MSG& msg)
{
    if (!msg.hwnd || (msg.hwnd != dialog && !IsChild(dialog, msg.hwnd)))
        return false;
    const bool alt = (msg.lParam & (1 << 29)) != 0;
    ShowKeyboardCues(dialog, msg);
    // Without a focus the keys reach the active window as system keys, Alt or not.
    if ((msg.message == WM_KEYDOWN || (msg.message == WM_SYSKEYDOWN && !alt)) && msg.wParam == VK_TAB) {
        HWND next = NextTabStop(dialog, GetFocus(), GetKeyState(VK_SHIFT) < 0);
        if (next)
            SetFocus(next);
        return true;
    }
    // An access key works with Alt anywhere in the dialog, and alone where typing has no other
    // meaning: on a button or a check box.
    const bool accessKey = (msg.message == WM_SYSCHAR && alt) || (msg.message == WM_CHAR && IsButtonClass(msg.hwnd));
    if (!accessKey || msg.wParam <= ' ' || msg.wParam > 0xFF)
        return false;
    HWND control = AccessKeyControl(dialog, static_cast<char>(msg.wParam));
    if (!control)
        return false;
    // A click, so the result and the gathering are those of the mouse.
    if (IsWindowEnabled(control) && IsWindowVisible(control))
        SendMessageA(control, BM_CLICK, 0, 0);
    return true;
}
