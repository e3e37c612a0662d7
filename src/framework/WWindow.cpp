#include "framework/WWindow.h"

#include "framework/FrameworkState.h"
#include "framework/WFrameWindow.h"
#include "framework/WindowProcedure.h"

namespace {
constexpr DWORD CHILD_DEFAULT_STYLE = 0x56800000;     // child, visible, clip, border
constexpr DWORD TITLED_DEFAULT_STYLE = 0x96CF0000;    // popup, visible, clip, caption, system menu, sizing
constexpr DWORD UNTITLED_DEFAULT_STYLE = 0x968B0000;  // popup, visible, clip, border, system menu, min/max

using AnySlot = void (*)();

// The address of the implementation that a call of `slot` on `object` would run. This is GCC's
// bound-member extraction (MinGW builds only): it reads the object's own table, so comparing
// with the reference window tells whether a class overrides the slot.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpmf-conversions"
template <class Slot>
AnySlot Implementation(WWindow* object, Slot slot)
{
    return reinterpret_cast<AnySlot>(object->*slot);
}
#pragma GCC diagnostic pop
}

WWindow::WWindow()
    : hoverDelay(20), flags(0), previousProc(nullptr), hwnd(nullptr), handler(this)
{
    framework.hoverThreshold = 4;
}

WWindow::~WWindow() {}

void WWindow::OnPostPaint(WWindow*, WWindowCanvas*, const RECT*) {}
void WWindow::OnPaint(WWindow*, WPaintCanvas*, const RECT*) {}
int WWindow::OnEraseBackground(WWindow*, WCanvas*) { return 0; }
void WWindow::OnSetFocus(WWindow*) {}
void WWindow::OnKillFocus(WWindow*) {}
void WWindow::OnShow(WWindow*) {}
void WWindow::OnHide(WWindow*) {}
void WWindow::OnCreate(WWindow*) {}
void WWindow::OnDestroy(WWindow*) {}
void WWindow::OnSize(WWindow*, int, int) {}
void WWindow::OnMove(WWindow*, int, int) {}
void WWindow::OnMouseMove(WWindow*, int, int, WPARAM) {}
void WWindow::OnClick(WWindow*, int, int) {}
void WWindow::OnRightButtonUp(WWindow*, int, int) {}
void WWindow::OnDoubleClick(WWindow*, int, int) {}
void WWindow::OnMouseEnter(WWindow*, HWND) {}
void WWindow::OnMouseLeave(WWindow*, HWND) {}
void WWindow::OnHover(WWindow*, int, int, int) {}
int WWindow::CanClose(WWindow*, int) { return 1; }

int WWindow::FilterMessage(WWindow*, UINT, WPARAM, LPARAM, LRESULT* result)
{
    *result = 1;
    return 0;
}

int WWindow::OnCommand(WWindow*, WWindow*, int, HWND, int) { return 0; }
void WWindow::OnChar(WWindow*, int) {}
void WWindow::OnKeyDown(WWindow*, int) {}
void WWindow::OnMouseMessage(WWindow*, UINT, WPARAM, int, int) {}
void WWindow::OnDrawItem(WWindow*, WWindow*, DRAWITEMSTRUCT*) {}
void WWindow::OnMeasureItem(WWindow*, WWindow*, MEASUREITEMSTRUCT*) {}
void WWindow::OnCompareItem(WWindow*, WWindow*, COMPAREITEMSTRUCT*) {}
int WWindow::OnNotify(WWindow*, WWindow*, NMHDR*, LRESULT*) { return 0; }

void WWindow::Create(HWND parent, const char* className, int x, int y, int width, int height, DWORD style,
                     const char* title, WWindow* newHandler, HMENU menuOrId, DWORD exStyle)
{
    flags |= HoverNotify;
    handler = newHandler != nullptr ? newHandler : this;

    if (Implementation(handler, &WWindow::OnPostPaint) != Implementation(&referenceWindow, &WWindow::OnPostPaint))
        handler->flags |= HasOnPostPaint;
    if (Implementation(handler, &WWindow::OnPaint) != Implementation(&referenceWindow, &WWindow::OnPaint))
        handler->flags |= HasOnPaint;

    WFrameWindow* frame = AsFrameWindow();
    if (frame != nullptr && frame->cursor == nullptr)
        frame->cursor = LoadCursorA(nullptr, IDC_ARROW);

    if (style == 0) {
        if (parent != nullptr)
            style = CHILD_DEFAULT_STYLE;
        else if (title != nullptr)
            style = TITLED_DEFAULT_STYLE;
        else
            style = UNTITLED_DEFAULT_STYLE;
    }
    if (title == nullptr)
        title = "";
    // The window stays invisible until it is bound, so no paint or mouse message can reach an
    // unbound window; it is shown at the end.
    const bool visible = (style & WS_VISIBLE) != 0;
    style &= ~static_cast<DWORD>(WS_VISIBLE);

    hwnd = CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent, menuOrId,
                           framework.moduleInstance, nullptr);

    if (framework.mainWindow == nullptr && parent == nullptr)
        framework.mainWindow = hwnd;
    if (frame != nullptr)
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetPropA(hwnd, framework.propertyName, this);
    RememberBinding(hwnd, this);
    previousProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProcedure));

    handler->OnCreate(this);
    if (visible)
        ShowWindow(hwnd, SW_SHOW);
}

int WWindow::Destroy()
{
    if (hwnd == nullptr)
        return 0;
    const int result = DestroyWindow(hwnd);
    hwnd = nullptr;
    return result;
}

int WWindow::Show()
{
    return ShowWindow(hwnd, SW_SHOW);
}

int WWindow::Hide()
{
    return ShowWindow(hwnd, SW_HIDE);
}

WFrameWindow* WWindow::AsFrameWindow()
{
    return (flags & FrameWindow) ? static_cast<WFrameWindow*>(this) : nullptr;
}

WFrameWindow* AsFrameWindow(WWindow* window)
{
    return window != nullptr ? window->AsFrameWindow() : nullptr;
}

WWindow* WWindow::FromHandle(HWND window)
{
    if (window == nullptr)
        return nullptr;
    if (WWindow* held = FindBinding(window))
        return held;
    return static_cast<WWindow*>(GetPropA(window, framework.propertyName));
}
