#include "dialogs/WMessageDialog.h"

#include "common/ScopedGdi.h"
#include "dialogs/DialogBuilder.h"
#include "dialogs/DialogKeys.h"
#include "dialogs/DialogPainting.h"
#include "dialogs/WChooseFile.h"
#include "dialogs/rules/ButtonSpec.h"
#include "dialogs/rules/ChooseFileLabel.h"
#include "dialogs/rules/DialogLayout.h"
#include "dialogs/rules/MarkupLimits.h"

namespace {

const char kClassName[] = "ZEB_UB_CLASS";
// The identifier of the button that Escape and the close box answer with, for programs that
// read the question from outside (the test robot); absent when there is none.
const char kCancelProperty[] = "KesCancelButton";

constexpr DWORD kDialogExStyle = WS_EX_APPWINDOW | WS_EX_DLGMODALFRAME;   // 0x00040001
constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;       // 0x80C80000
static_assert(kDialogExStyle == 0x00040001 && kDialogStyle == 0x80C80000, "dialog styles");
static_assert(sizeof(NONCLIENTMETRICSA) == 340, "the message font comes from the 340-byte record");

HWND DefaultButton(HWND dialog, const WMessageContext* c)
{
    return c->defaultIndex >= 0 ? GetDlgItem(dialog, ID_BUTTON_FIRST + c->defaultIndex) : nullptr;
}

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
    case CONTROL_DROPDOWN:
    case CONTROL_LIST: {
        LRESULT selected =
            input ? SendMessageA(input, c->inputKind == CONTROL_DROPDOWN ? CB_GETCURSEL : LB_GETCURSEL, 0, 0) : -1;
        if (selected >= 0)
            word += static_cast<int32_t>(static_cast<uint32_t>(selected) << 16);
        break;
    }
    case CONTROL_EDIT:
        // A negative size would be a huge buffer to WM_GETTEXT.
        if (input && c->value && c->valueSize > 0)
            SendMessageA(input, WM_GETTEXT, static_cast<WPARAM>(c->valueSize), reinterpret_cast<LPARAM>(c->value));
        break;
    case CONTROL_PATH: {
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

// As the dialog manager does: the push button that has the focus is drawn as the default one,
// the one Enter presses; with the focus anywhere else in the dialog the '+' button has the look.
void FollowFocus(HWND dialog, const WMessageContext* c)
{
    HWND focus = GetFocus();
    if (!focus || !IsChild(dialog, focus))
        return;
    const int focusId = GetDlgCtrlID(focus);
    HWND wanted = GetParent(focus) == dialog && focusId >= ID_BUTTON_FIRST ? focus : DefaultButton(dialog, c);
    for (int id = ID_BUTTON_FIRST;; ++id) {
        HWND button = GetDlgItem(dialog, id);
        if (!button)
            break;
        const LONG_PTR style = GetWindowLongPtrA(button, GWL_STYLE);
        const bool isDefault = (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
        if (isDefault != (button == wanted))
            SendMessageA(button, BM_SETSTYLE, button == wanted ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
    }
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
    if (code == LBN_DBLCLK && c->inputKind == CONTROL_LIST) {
        if (DefaultEnabled(dialog, c))
            Finish(dialog, c, c->defaultIndex);
        return 0;
    }
    if (code != 0)
        return 1;
    if (id >= ID_BUTTON_FIRST) {
        // Whatever the button does with a click while disabled, a disabled button gives no
        // answer: the licence gate must not rest on the control alone.
        HWND button = GetDlgItem(dialog, id);
        if (button && IsWindowEnabled(button))
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

// Whether `control` is the dialog's drop-down list, open.
bool DroppedDown(HWND control, int id)
{
    const WMessageContext* c = ContextOf(GetParent(control));
    return id == ID_INPUT && c && c->inputKind == CONTROL_DROPDOWN &&
           SendMessageA(control, CB_GETDROPPEDSTATE, 0, 0) != FALSE;
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
    case WM_CTLCOLORSTATIC:
        if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == ID_MESSAGE)
            return reinterpret_cast<LRESULT>(MessageColours(reinterpret_cast<HDC>(wParam), c));
        break;
    case WM_MEASUREITEM:
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = MARKUP_ITEM_HEIGHT;
        break;
    case WM_DRAWITEM:
        if (c->inputKind == CONTROL_DROPDOWN || c->inputKind == CONTROL_LIST)
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
        RemovePropA(dialog, kCancelProperty);
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
    // An open drop-down list keeps Escape and Enter: they close it, taking back or keeping the
    // item, and do not answer the question.
    if (message == WM_KEYDOWN && (wParam == VK_ESCAPE || (wParam == VK_RETURN && id < ID_BUTTON_FIRST)) &&
        !DroppedDown(control, id)) {
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
    c->inputKind = CONTROL_NONE;

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
    const ScopedFont font(CreateFontIndirectA(&ncm.lfMessageFont));
    c->font = font.Get();
    c->icon = LoadDialogIcon(c->instance, icon);

    RegisterDialogClass(c->instance);
    HWND dialog = CreateWindowExA(owner ? kDialogExStyle : kDialogExStyle | WS_EX_TOPMOST, kClassName, caption,
                                  kDialogStyle, 0, 0, 0, 0, owner, nullptr, c->instance, nullptr);
    if (!dialog)
        return -1;  // nothing to wait for: a loop here would never end
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
        if (*c->text && layout.textHeight > 0)
            builder.CreateMessage(c->text, c->icon ? 48 : 8, layout.textHeight);

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
        else
            SetPropA(dialog, kCancelProperty,
                     reinterpret_cast<HANDLE>(static_cast<INT_PTR>(ID_BUTTON_FIRST + c->cancelIndex)));
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
    // The focus rectangle and the access-key underlines start as the system's setting says
    // (hidden until the keyboard is used, by default); DialogKey shows them as keys arrive.
    SendMessageA(dialog, WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, 0), 0);
    FollowFocus(dialog, c);

    MSG msg;
    while (c->result == -1 && !c->destroyed) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1)
            break;
        if (!DialogKey(dialog, msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (!c->destroyed)
            FollowFocus(dialog, c);
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
    // Icons from LoadIcon are shared by the system and must not be destroyed; the font goes with
    // its holder.
    return c->result;
}
