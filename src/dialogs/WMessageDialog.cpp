#include "dialogs/WMessageDialog.h"

#include "dialogs/WChooseFile.h"
#include "dialogs/rules/ChooseFileLabel.h"
#include "dialogs/rules/ButtonSpec.h"
#include "dialogs/rules/DialogLayout.h"
#include "dialogs/rules/ListItems.h"
#include "dialogs/rules/MarkupLimits.h"

namespace {

const char kClassName[] = "ZEB_UB_CLASS";

constexpr DWORD kDialogExStyle = WS_EX_APPWINDOW | WS_EX_DLGMODALFRAME;   // 0x00040001
constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;       // 0x80C80000
static_assert(kDialogExStyle == 0x00040001 && kDialogStyle == 0x80C80000, "dialog styles");
static_assert(sizeof(NONCLIENTMETRICSA) == 340, "the message font comes from the 340-byte record");

// A path field's buffer when the caller gives no size: the chooser's path size.
constexpr int32_t kPathBufferSize = 260;

constexpr COLORREF kMarkRed = RGB(255, 0, 0);
constexpr COLORREF kMarkYellow = RGB(192, 192, 0);

WMessageContext* ContextOf(HWND dialog)
{
    return reinterpret_cast<WMessageContext*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
}

// A path field has no size parameter of its own: the caller's buffer holds at least a path.
int32_t PathBufferSize(const WMessageContext* c) { return c->valueSize > 1 ? c->valueSize : kPathBufferSize; }

HWND DefaultButton(HWND dialog, const WMessageContext* c)
{
    return c->defaultIndex >= 0 ? GetDlgItem(dialog, ID_BUTTON_FIRST + c->defaultIndex) : nullptr;
}

// Holds the screen's device context with the dialog font selected while the layout measures,
// and creates the controls the layout asks for.
class DialogBuilder final : public LayoutHost {
public:
    DialogBuilder(HWND dialog, WMessageContext* context, int32_t wrapWidth)
        : dialog(dialog), context(context), wrapWidth(wrapWidth), dc(GetDC(nullptr))
    {
        previousFont = SelectObject(dc, context->font);
    }
    ~DialogBuilder() { Release(); }
    DialogBuilder(const DialogBuilder&) = delete;
    DialogBuilder& operator=(const DialogBuilder&) = delete;

    void Release()
    {
        if (dc) {
            SelectObject(dc, previousFont);
            ReleaseDC(nullptr, dc);
            dc = nullptr;
        }
    }

    TextSize LineExtent()
    {
        SIZE s{};
        GetTextExtentPoint32A(dc, "WWWWWWWW", 8, &s);
        return TextSize{s.cx, s.cy};
    }

    TextSize MeasureText(const char* text, bool editControl) override
    {
        RECT r{0, 0, wrapWidth, 0};
        DrawTextA(dc, text, -1, &r, DT_CALCRECT | DT_WORDBREAK | (editControl ? DT_EDITCONTROL : 0));
        return TextSize{r.right - r.left, r.bottom - r.top};
    }

    TextSize OuterSize(uint32_t style, uint32_t exStyle, TextSize client) override
    {
        RECT r{0, 0, client.width, client.height};
        AdjustWindowRectEx(&r, style, FALSE, exStyle);
        return TextSize{r.right - r.left, r.bottom - r.top};
    }

    bool CreateControl(const ControlSpec& spec, TextSize* outer) override
    {
        // Window texts of 32K characters and more do not survive CreateWindowEx on every system
        // (Wine drops or cuts them), while WM_SETTEXT takes any length. And an edit lays out its
        // whole text again on every change of font or width, so it gets its text once it has
        // both (see Place).
        const bool textAfter = spec.kind == CONTROL_EDIT;
        HWND control = CreateWindowExA(spec.exStyle, spec.className, textAfter ? "" : spec.text, spec.style, spec.x,
                                       spec.y, spec.width, spec.height, dialog,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)),
                                       context->instance, nullptr);
        if (!control)
            return false;
        const WPARAM font = reinterpret_cast<WPARAM>(context->font);
        int32_t moveHeight = 0;
        switch (spec.kind) {
        case CONTROL_CHECK:
            if (spec.checked)
                SendMessageA(control, BM_SETCHECK, BST_CHECKED, 0);
            break;
        case CONTROL_EDIT:
            editWindow = control;
            editText = spec.text;
            if (spec.textLimit > 0)
                SendMessageA(control, EM_LIMITTEXT, static_cast<WPARAM>(spec.textLimit), 0);
            break;
        case CONTROL_DROPDOWN: {
            SendMessageA(control, WM_SETFONT, font, TRUE);
            RECT r;
            GetWindowRect(control, &r);
            // Tall enough that the opened list shows every item without a scroll bar.
            const int64_t h = int64_t{r.bottom - r.top} + int64_t{MARKUP_ITEM_HEIGHT} * spec.itemCount + 4;
            moveHeight = h > MARKUP_MAX_COORD ? MARKUP_MAX_COORD : static_cast<int32_t>(h);
            SetWindowPos(control, nullptr, 0, 0, r.right - r.left, moveHeight,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            AddItems(control, spec, CB_ADDSTRING, CB_SETCURSEL);
            break;
        }
        case CONTROL_LIST:
            AddItems(control, spec, LB_ADDSTRING, LB_SETCURSEL);
            break;
        case CONTROL_PATH:
            CreatePathChildren(control, spec);
            break;
        default:
            break;
        }
        // Buttons are drawn once the window is shown; mark-up controls repaint now.
        SendMessageA(control, WM_SETFONT, font, spec.kind != CONTROL_BUTTON);
        RECT r;
        GetWindowRect(control, &r);
        if (spec.widthFromText) {
            // The edit keeps margins inside its client area (they come with the font); without
            // room for them the widest lines of the text would wrap.
            const LRESULT margins = SendMessageA(control, EM_GETMARGINS, 0, 0);
            const int grow = LOWORD(margins) + HIWORD(margins);
            SetWindowPos(control, nullptr, 0, 0, r.right - r.left + grow, r.bottom - r.top,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            GetWindowRect(control, &r);
        }
        outer->width = r.right - r.left;
        outer->height = r.bottom - r.top;
        SetWindowLongPtrA(control, GWLP_USERDATA, GetWindowLongPtrA(control, GWLP_WNDPROC));
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WMessageDialog::ControlProc));
        windows[count] = control;
        moveHeights[count] = moveHeight;
        ++count;
        return true;
    }

    // Moves every control to its final rectangle.
    void Place(const DialogLayout& layout)
    {
        for (int32_t i = 0; i < count && i < layout.controlCount; ++i) {
            const PlacedControl& c = layout.controls[i];
            // A drop-down list's window height is that of the opened list.
            const int32_t h = moveHeights[i] ? moveHeights[i] : c.height;
            SetWindowPos(windows[i], nullptr, c.x, c.y, c.width, h, SWP_NOZORDER | SWP_NOACTIVATE);
        }
        if (editWindow)
            SendMessageA(editWindow, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(editText));
    }

private:
    void AddItems(HWND control, const ControlSpec& spec, UINT add, UINT select)
    {
        ListItems items(spec.items);
        char item[MARKUP_MAX_LABEL + 1];
        while (items.Next(item))
            SendMessageA(control, add, 0, reinterpret_cast<LPARAM>(item));
        SendMessageA(control, select, static_cast<WPARAM>(spec.select), 0);
    }

    void CreatePathChildren(HWND container, const ControlSpec& spec)
    {
        const WPARAM font = reinterpret_cast<WPARAM>(context->font);
        HWND edit = CreateWindowExA(0, "EDIT", "", spec.pathEditStyle, 0, 0, 8,
                                    spec.pathChildHeight, container,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_PATH_EDIT)),
                                    context->instance, nullptr);
        HWND browse = CreateWindowExA(0, "BUTTON", "...", 0x50010000, 0, 0, 8, spec.pathChildHeight, container,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_PATH_BROWSE)),
                                      context->instance, nullptr);
        if (edit) {
            SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(context->value ? context->value : ""));
            SendMessageA(edit, WM_SETFONT, font, FALSE);
            SendMessageA(edit, EM_LIMITTEXT, static_cast<WPARAM>(PathBufferSize(context) - 1), 0);
        }
        if (browse)
            SendMessageA(browse, WM_SETFONT, font, FALSE);
    }

    HWND dialog;
    WMessageContext* context;
    int32_t wrapWidth;
    HDC dc;
    HGDIOBJ previousFont;
    HWND windows[MARKUP_MAX_CONTROLS];
    int32_t moveHeights[MARKUP_MAX_CONTROLS];
    int32_t count = 0;
    HWND editWindow = nullptr;   // the edit field, waiting for its text
    const char* editText = nullptr;
};

HICON LoadDialogIcon(HINSTANCE instance, const char* icon)
{
    if (!icon)
        return nullptr;
    const ULONG_PTR id = reinterpret_cast<ULONG_PTR>(icon);
    if (IS_INTRESOURCE(icon) && id >= 32001 && id <= 63999)
        return LoadIconA(nullptr, icon);
    return LoadIconA(instance, icon);
}

void RegisterDialogClass(HINSTANCE instance)
{
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = &WMessageDialog::WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    RegisterClassExA(&wc);   // fails harmlessly when an earlier call registered it
}

void Activate(HWND dialog, HWND owner)
{
    if (owner) {
        SetActiveWindow(dialog);
        return;
    }
    // A dialog without owner must come to the front even when another program holds it.
    DWORD timeout = 0;
    SystemParametersInfoA(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &timeout, 0);
    SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, 0);
    SetForegroundWindow(dialog);
    SetActiveWindow(dialog);
    SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, reinterpret_cast<void*>(static_cast<UINT_PTR>(timeout)),
                          0);
}

void PaintBackground(HWND dialog, HDC dc, const WMessageContext* c)
{
    RECT client;
    GetClientRect(dialog, &client);
    RECT rest = client;
    if (!(c->flags & MARKUP_FLAG_PLAIN) && c->textHeight != 0) {
        const int band = c->textHeight + 12;
        RECT top{client.left, client.top, client.right, band};
        FillRect(dc, &top, GetSysColorBrush(COLOR_WINDOW));
        MoveToEx(dc, 0, band, nullptr);
        LineTo(dc, client.right, band);
        rest.top = band + 1;
    }
    FillRect(dc, &rest, GetSysColorBrush(COLOR_BTNFACE));
}

void PaintMessage(HWND dialog, const WMessageContext* c)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(dialog, &ps);
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ previous = SelectObject(dc, c->font);
    int x = 8;
    if (c->icon) {
        DrawIcon(dc, 8, 8, c->icon);
        x = 48;
    }
    RECT r{x, 8, x + c->wrapWidth, 16000};
    DrawTextA(dc, c->text, -1, &r, DT_WORDBREAK | DT_NOCLIP);
    SelectObject(dc, previous);
    EndPaint(dialog, &ps);
}

void DrawItem(const DRAWITEMSTRUCT* d, const WMessageContext* c)
{
    const bool combo = c->inputKind == 'D';
    char small[MARKUP_MAX_LABEL + 1];
    char* text = small;
    LRESULT length = -1;
    if (d->itemID != static_cast<UINT>(-1)) {
        length = SendMessageA(d->hwndItem, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, d->itemID, 0);
        // Our own items are cut to the buffer; anything longer came from elsewhere and gets room.
        if (length > MARKUP_MAX_LABEL) {
            text = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, static_cast<SIZE_T>(length) + 1));
            if (!text) {
                text = small;
                length = -1;
            }
        }
        if (length >= 0)
            length = SendMessageA(d->hwndItem, combo ? CB_GETLBTEXT : LB_GETTEXT, d->itemID,
                                  reinterpret_cast<LPARAM>(text));
    }
    COLORREF mark = RGB(0, 0, 0);
    const char* shown = text;
    if (length > 0 && (text[0] == '!' || text[0] == '?')) {
        mark = text[0] == '!' ? kMarkRed : kMarkYellow;
        ++shown;
        --length;
    }
    HDC dc = d->hDC;
    RECT r = d->rcItem;
    if (d->itemState & ODS_SELECTED) {
        FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    } else {
        FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        SetTextColor(dc, mark);
    }
    if (length >= 0) {
        r.left += 4;
        DrawTextA(dc, shown, static_cast<int>(length), &r, DT_SINGLELINE | DT_NOCLIP);
    }
    if (text != small)
        HeapFree(GetProcessHeap(), 0, text);
}

void GatherValues(HWND dialog, WMessageContext* c)
{
    int32_t word = 0;
    for (int32_t n = 0; n < 16; ++n) {
        HWND box = GetDlgItem(dialog, ID_CHECK_FIRST + n);
        if (box && SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED)
            word |= 1 << n;
    }
    HWND input = GetDlgItem(dialog, ID_INPUT);
    switch (c->inputKind) {
    case 'D':
    case 'L': {
        LRESULT selected = input ? SendMessageA(input, c->inputKind == 'D' ? CB_GETCURSEL : LB_GETCURSEL, 0, 0) : -1;
        if (selected >= 0)
            word += static_cast<int32_t>(static_cast<uint32_t>(selected) << 16);
        break;
    }
    case 'E':
        // A negative size would be a huge buffer to WM_GETTEXT.
        if (input && c->value && c->valueSize > 0)
            SendMessageA(input, WM_GETTEXT, static_cast<WPARAM>(c->valueSize), reinterpret_cast<LPARAM>(c->value));
        break;
    case 'B': {
        // A path typed by hand is what the user sees, so it is what comes back.
        HWND edit = GetDlgItem(GetDlgItem(dialog, ID_PATH), ID_PATH_EDIT);
        if (edit && c->value)
            SendMessageA(edit, WM_GETTEXT, static_cast<WPARAM>(PathBufferSize(c)), reinterpret_cast<LPARAM>(c->value));
        break;
    }
    default:
        break;
    }
    c->stateWord = word;
    if (c->result == -1)
        c->result = c->cancelIndex;
    c->destroyed = true;
    // Destroyed by a message sent from another thread, the window leaves GetMessageA waiting
    // for a posted message that may never come: post one so the loop sees the end.
    PostMessageA(nullptr, WM_NULL, 0, 0);
}

// The owner must be enabled before the dialog window goes: otherwise the system finds no
// window of ours to activate and the owner falls behind another program's window.
void EnableOwner(const WMessageContext* c)
{
    if (c->owner)
        EnableWindow(c->owner, TRUE);
}

// Ends the dialog with `result`.
void Finish(HWND dialog, WMessageContext* c, int32_t result)
{
    c->result = result;
    EnableOwner(c);
    DestroyWindow(dialog);
}

bool DefaultEnabled(HWND dialog, const WMessageContext* c)
{
    HWND button = DefaultButton(dialog, c);
    return button && IsWindowEnabled(button);
}

LRESULT OnCommand(HWND dialog, WMessageContext* c, WPARAM wParam, LPARAM lParam)
{
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (code == LBN_DBLCLK && c->inputKind == 'L') {
        if (DefaultEnabled(dialog, c))
            Finish(dialog, c, c->defaultIndex);
        return 0;
    }
    if (code != 0)
        return 1;
    if (id >= ID_BUTTON_FIRST) {
        Finish(dialog, c, id - ID_BUTTON_FIRST);
        return 0;
    }
    if (id == ID_ACCEPT_BOX && (c->flags & MARKUP_FLAG_ACCEPT)) {
        LRESULT r = DefWindowProcA(dialog, WM_COMMAND, wParam, lParam);
        HWND box = GetDlgItem(dialog, ID_ACCEPT_BOX);
        HWND button = DefaultButton(dialog, c);
        if (button)
            EnableWindow(button, box && SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED);
        return r;
    }
    return 1;
}

// The keyboard without a dialog manager. The controls keep their own keys (Space on a button
// or check box, arrows in a list, typing in an edit); the dialog adds Tab and the access keys.

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

// The next (or previous) tab stop after the focus, wrapping round; from the dialog itself, or
// from a window that is not in the order, the first (or last) one.
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

// Tab and the access keys, taken from the queue before any control sees them. True when the
// message was used up.
bool DialogKey(HWND dialog, const MSG& msg)
{
    if (!msg.hwnd || (msg.hwnd != dialog && !IsChild(dialog, msg.hwnd)))
        return false;
    const bool alt = (msg.lParam & (1 << 29)) != 0;
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

}  // namespace

void WMessageDialog::BrowseForPath(HWND dialog, WMessageContext* c)
{
    HWND container = GetDlgItem(dialog, ID_PATH);
    HWND edit = GetDlgItem(container, ID_PATH_EDIT);
    if (!edit)
        return;
    char label[256] = "";
    GetWindowTextA(container, label, sizeof label);
    const ChooserLabel split = SplitChooserLabel(label);
    // The chooser starts from what the field shows, typed text included, and works on a copy:
    // a cancelled browse leaves the field and `value` as they were.
    char path[CHOOSER_PATH_SIZE] = "";
    GetWindowTextA(edit, path, sizeof path);
    if (!WChooseFile(c->browseMode, dialog, split.title, path, split.filter, 0))
        return;
    if (c->value)
        lstrcpynA(c->value, path, PathBufferSize(c));
    SetWindowTextA(edit, path);
}

LRESULT CALLBACK WMessageDialog::WindowProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    WMessageContext* c = ContextOf(dialog);
    if (!c)
        return DefWindowProcA(dialog, message, wParam, lParam);
    switch (message) {
    case WM_ERASEBKGND:
        PaintBackground(dialog, reinterpret_cast<HDC>(wParam), c);
        return 1;
    case WM_PAINT:
        PaintMessage(dialog, c);
        break;
    case WM_MEASUREITEM:
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = MARKUP_ITEM_HEIGHT;
        break;
    case WM_DRAWITEM:
        if (c->inputKind == 'D' || c->inputKind == 'L')
            DrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam), c);
        break;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) {
            // Without a cancel button there is no answer that Escape could give.
            if (c->cancelIndex < 0)
                break;
            Finish(dialog, c, c->cancelIndex);
            return 0;
        }
        if (wParam == VK_RETURN && DefaultEnabled(dialog, c)) {
            Finish(dialog, c, c->defaultIndex);
            return 0;
        }
        break;
    case WM_CLOSE:
        // The close box and Alt+F4 answer like Escape, so without a cancel button they do nothing.
        if (c->cancelIndex < 0)
            return 0;
        EnableOwner(c);   // DefWindowProc destroys the window
        break;
    case WM_COMMAND:
        // The browse button, handed on by the path field's container.
        if (HIWORD(wParam) == 0 && LOWORD(wParam) == ID_PATH_BROWSE) {
            BrowseForPath(dialog, c);
            return 0;
        }
        return OnCommand(dialog, c, wParam, lParam);
    case WM_DESTROY:
        GatherValues(dialog, c);
        break;
    default:
        break;
    }
    return DefWindowProcA(dialog, message, wParam, lParam);
}

LRESULT CALLBACK WMessageDialog::ControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    const WNDPROC previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(control, GWLP_USERDATA));
    const int id = static_cast<int>(GetWindowLongPtrA(control, GWLP_ID));
    if (id == ID_PATH) {
        if (message == WM_COMMAND && LOWORD(wParam) == ID_PATH_BROWSE)
            SendMessageA(GetParent(control), WM_COMMAND, wParam, lParam);
        if (message == WM_SIZE) {
            const int w = LOWORD(lParam);
            const int h = HIWORD(lParam);
            MoveWindow(GetDlgItem(control, ID_PATH_EDIT), 0, 0, w > 33 ? w - 33 : 0, h, TRUE);
            MoveWindow(GetDlgItem(control, ID_PATH_BROWSE), w - 32, 0, 32, h, TRUE);
        }
    }
    // Without a dialog manager a push button ignores Enter, yet a person expects Enter to press
    // the button that has the focus.
    if (message == WM_KEYDOWN && wParam == VK_RETURN && id >= ID_BUTTON_FIRST) {
        if (IsWindowEnabled(control))
            SendMessageA(control, BM_CLICK, 0, 0);
        return 0;
    }
    if (message == WM_KEYDOWN && (wParam == VK_ESCAPE || (wParam == VK_RETURN && id < ID_BUTTON_FIRST))) {
        SendMessageA(GetParent(control), WM_KEYDOWN, wParam, lParam);
        // The key may have ended the dialog, and this control with it.
        if (!IsWindow(control))
            return 0;
    }
    return previous ? CallWindowProcA(previous, control, message, wParam, lParam)
                    : DefWindowProcA(control, message, wParam, lParam);
}

int32_t WMessageDialog::Show(HWND owner, const char* text, const char* caption, const char* icon,
                             const char* buttons, const char* markup, int32_t* state, char* value,
                             int32_t valueSize)
{
    WMessageContext context{};
    WMessageContext* c = &context;
    c->instance = GetModuleHandleA(nullptr);
    c->text = text ? text : "";
    c->result = -1;
    c->cancelIndex = -1;
    c->defaultIndex = -1;
    c->stateWord = state ? *state : 0;
    c->value = value;
    c->valueSize = valueSize;
    c->owner = owner;

    DialogMetrics metrics{};
    metrics.screenWidth = GetSystemMetrics(SM_CXSCREEN);
    metrics.screenHeight = GetSystemMetrics(SM_CYSCREEN);
    metrics.cxVScroll = GetSystemMetrics(SM_CXVSCROLL);
    metrics.cxDlgFrame = GetSystemMetrics(SM_CXDLGFRAME);
    metrics.cyDlgFrame = GetSystemMetrics(SM_CYDLGFRAME);
    metrics.cyCaption = GetSystemMetrics(SM_CYCAPTION);
    c->wrapWidth = metrics.screenWidth - 100;

    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof ncm;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
    c->font = CreateFontIndirectA(&ncm.lfMessageFont);
    c->icon = LoadDialogIcon(c->instance, icon);

    RegisterDialogClass(c->instance);
    HWND dialog = CreateWindowExA(owner ? kDialogExStyle : kDialogExStyle | WS_EX_TOPMOST, kClassName, caption,
                                  kDialogStyle, 0, 0, 0, 0, owner, nullptr, c->instance, nullptr);
    if (!dialog) {
        // Nothing to wait for: a loop here would never end.
        DeleteObject(c->font);
        return -1;
    }
    SetWindowLongPtrA(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(c));

    const ButtonSpec spec(buttons);
    {
        DialogBuilder builder(dialog, c, c->wrapWidth);
        metrics.lineExtent = builder.LineExtent();
        DialogLayout layout(builder, metrics);
        // Measured as drawn, even when the icon itself could not be loaded.
        layout.PlaceMessage(c->text, icon != nullptr);
        layout.AddMarkup(markup, value, valueSize, c->stateWord, spec.count);
        layout.AddButtons(spec, c->stateWord);
        builder.Release();
        layout.Finish();
        builder.Place(layout);

        c->textHeight = layout.textHeight;
        c->inputKind = layout.inputKind;
        c->flags = layout.flags;
        c->browseMode = layout.browseMode;
        c->defaultIndex = layout.defaultIndex;
        c->cancelIndex = layout.cancelIndex;
        if (layout.defaultDisabled)
            EnableWindow(DefaultButton(dialog, c), FALSE);
        if (c->cancelIndex < 0)
            EnableMenuItem(GetSystemMenu(dialog, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
        SetWindowPos(dialog, nullptr, layout.windowX, layout.windowY, layout.windowWidth, layout.windowHeight,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        InvalidateRect(dialog, nullptr, TRUE);
    }

    // Taken before anything moves the focus: disabling the owner or activating the dialog would
    // leave only the dialog's own windows to remember.
    HWND previousFocus = GetFocus();
    if (owner)
        EnableWindow(owner, FALSE);
    ShowWindow(dialog, SW_SHOW);
    Activate(dialog, owner);
    // A disabled first button (a licence not yet accepted) cannot take the focus; the first
    // control that can then gets it, so the keyboard starts inside the dialog.
    HWND first = GetDlgItem(dialog, ID_BUTTON_FIRST);
    if (!first || !IsWindowEnabled(first))
        first = NextTabStop(dialog, nullptr, false);
    if (first)
        SetFocus(first);

    MSG msg;
    while (c->result == -1 && !c->destroyed) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1)
            break;
        if (DialogKey(dialog, msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (!c->destroyed) {
        // WM_QUIT ended the loop: the window goes without gathering, so it cannot reach this
        // context after the call, and the caller gets -1 with its state word as it was.
        EnableOwner(c);
        SetWindowLongPtrA(dialog, GWLP_USERDATA, 0);
        DestroyWindow(dialog);
        c->result = -1;
        c->stateWord = state ? *state : 0;
    }

    if (state)
        *state = c->stateWord;
    // Already enabled when the dialog ended itself; a window destroyed from outside did not.
    EnableOwner(c);
    if (previousFocus && IsWindow(previousFocus))
        SetFocus(previousFocus);
    // Icons from LoadIcon are shared by the system and must not be destroyed.
    DeleteObject(c->font);
    return c->result;
}
