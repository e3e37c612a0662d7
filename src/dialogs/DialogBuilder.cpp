#include "dialogs/DialogBuilder.h"

#include "dialogs/WMessageDialog.h"
#include "dialogs/rules/ListItems.h"

DialogBuilder::DialogBuilder(HWND dialog, WMessageContext* context, int32_t wrapWidth)
    : dialog(dialog), context(context), wrapWidth(wrapWidth), dc(GetDC(nullptr))
{
    previousFont = SelectObject(dc, context->font);
}

void DialogBuilder::Release()
{
    if (dc) {
        SelectObject(dc, previousFont);
        ReleaseDC(nullptr, dc);
        dc = nullptr;
    }
}

TextSize DialogBuilder::LineExtent()
{
    SIZE s{};
    GetTextExtentPoint32A(dc, "WWWWWWWW", 8, &s);
    return TextSize{s.cx, s.cy};
}

TextSize DialogBuilder::MeasureText(const char* text, bool editControl)
{
    RECT r{0, 0, wrapWidth, 0};
    DrawTextA(dc, text, -1, &r, DT_CALCRECT | DT_WORDBREAK | (editControl ? DT_EDITCONTROL : 0));
    return TextSize{r.right - r.left, r.bottom - r.top};
}

TextSize DialogBuilder::OuterSize(uint32_t style, uint32_t exStyle, TextSize client)
{
    RECT r{0, 0, client.width, client.height};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    return TextSize{r.right - r.left, r.bottom - r.top};
}

bool DialogBuilder::CreateControl(const ControlSpec& spec, TextSize* outer)
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

void DialogBuilder::Place(const DialogLayout& layout)
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

void DialogBuilder::CreateMessage(const char* text, int32_t x, int32_t height)
{
    // SS_LEFT wraps words as the layout measured them; the text goes in by WM_SETTEXT, which
    // takes any length.
    constexpr DWORD kStyle = WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX;
    HWND message = CreateWindowExA(0, "STATIC", "", kStyle, x, 8, wrapWidth, height, dialog,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_MESSAGE)), context->instance,
                                   nullptr);
    if (!message)
        return;
    SendMessageA(message, WM_SETFONT, reinterpret_cast<WPARAM>(context->font), FALSE);
    SendMessageA(message, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void DialogBuilder::AddItems(HWND control, const ControlSpec& spec, UINT add, UINT select)
{
    ListItems items(spec.items);
    char item[MARKUP_MAX_LABEL + 1];
    while (items.Next(item))
        SendMessageA(control, add, 0, reinterpret_cast<LPARAM>(item));
    SendMessageA(control, select, static_cast<WPARAM>(spec.select), 0);
}

void DialogBuilder::CreatePathChildren(HWND container, const ControlSpec& spec)
{
    const WPARAM font = reinterpret_cast<WPARAM>(context->font);
    HWND edit = CreateWindowExA(0, "EDIT", "", spec.pathEditStyle, 0, 0, 8, spec.pathChildHeight, container,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_PATH_EDIT)), context->instance,
                                nullptr);
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
