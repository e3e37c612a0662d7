#pragma once
// WWindow: the object bound to one system window. The common window procedure turns the
// window's messages into calls of the virtual slots below, made on the object's handler with
// the window object as first argument (so one handler can serve several windows).
#include <windows.h>
#include <cstdint>

class WCanvas;
class WWindowCanvas;
class WPaintCanvas;
class WFrameWindow;

// Bits of the dispatch flags that FilterMessage, OnCommand and OnNotify return.
enum : int {
    DISPATCH_RETURN_RESULT = 0x1,  // return the slot's LRESULT instead of the previous procedure's
    DISPATCH_DONE = 0x2,           // the framework does nothing more with the message
};

// Why CanClose is asked: a close request (WM_CLOSE, the close box, Alt+F4).
enum CloseReason : int { CLOSE_REQUEST = 2 };

class WWindow {
public:
    // Bits of `flags`. The framework only ever adds bits; owning code clears them with SetFlags.
    enum : uint32_t {
        HasOnPaint = 0x1,            // the handler's class overrides OnPaint
        HasOnPostPaint = 0x2,        // the handler's class overrides OnPostPaint
        HoverNotify = 0x4,           // OnHover reports are wanted for this window
        FrameWindow = 0x10,          // the object is a WFrameWindow
        OwnCommand = 0x100,          // a control that takes its own WM_COMMAND notifications
        OwnNotify = 0x200,           // the same for WM_NOTIFY
        OwnItemDraw = 0x400,         // the same for WM_DRAWITEM, WM_MEASUREITEM, WM_COMPAREITEM
        KeepLoopOnDestroy = 0x4000,  // destroying this main window posts no WM_QUIT
    };

    WWindow();
    WWindow(const WWindow&) = delete;
    WWindow& operator=(const WWindow&) = delete;

    // --- Virtual slots, in slot order. Slots without a result do nothing by default. ---
    // 0: WM_PAINT after the previous procedure painted (only with HasOnPostPaint); the canvas
    //    is clipped to `update`.
    virtual void OnPostPaint(WWindow* window, WWindowCanvas* canvas, const RECT* update);
    // 1: WM_PAINT instead of the previous procedure (only with HasOnPaint).
    virtual void OnPaint(WWindow* window, WPaintCanvas* canvas, const RECT* update);
    // 2: WM_ERASEBKGND, the canvas holds the message's DC. Return 1 when erased. Default 0.
    virtual int OnEraseBackground(WWindow* window, WCanvas* canvas);
    // 3: deleting the object leaves the window alone; the owner calls Destroy first.
    virtual ~WWindow();
    virtual void OnSetFocus(WWindow* window);                       // 4
    virtual void OnKillFocus(WWindow* window);                      // 5
    virtual void OnShow(WWindow* window);                           // 6: WM_SHOWWINDOW, wParam 1
    virtual void OnHide(WWindow* window);                           // 7: WM_SHOWWINDOW, other wParam
    virtual void OnCreate(WWindow* window);                         // 8: end of Create, before shown
    virtual void OnDestroy(WWindow* window);                        // 9: WM_DESTROY
    virtual void OnSize(WWindow* window, int width, int height);    // 10: client size
    virtual void OnMove(WWindow* window, int x, int y);             // 11
    // 12: mouse moved while no drag runs; `keys` is the message's wParam.
    virtual void OnMouseMove(WWindow* window, int x, int y, WPARAM keys);
    virtual void OnClick(WWindow* window, int x, int y);            // 13: left release ending a click
    virtual void OnRightButtonUp(WWindow* window, int x, int y);    // 14
    virtual void OnDoubleClick(WWindow* window, int x, int y);      // 15
    virtual void OnMouseEnter(WWindow* window, HWND from);          // 16: from = window left, or null
    virtual void OnMouseLeave(WWindow* window, HWND to);            // 17: to = window now under the mouse
    // 18: ended 0 = the mouse rests at x, y; ended 1 = the hover is over (x and y 0).
    virtual void OnHover(WWindow* window, int x, int y, int ended);
    // 19: a close request (reason CLOSE_REQUEST). Nonzero = may close. Default 1.
    virtual int CanClose(WWindow* window, int reason);
    // 20: every message, first; called on the window object itself, not its handler. `result`
    //     is preset to 1. Returns DISPATCH_* bits. Default: result 1, returns 0.
    virtual int FilterMessage(WWindow* window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // 21: WM_COMMAND; control = the control's object or null. Returns DISPATCH_* bits. Default 0.
    virtual int OnCommand(WWindow* window, WWindow* control, int code, HWND controlWindow, int id);
    virtual void OnChar(WWindow* window, int character);            // 22: WM_CHAR
    virtual void OnKeyDown(WWindow* window, int virtualKey);        // 23: once per repeat
    // 24: raw mouse messages with the message's wParam and client (or wheel: screen) x, y.
    virtual void OnMouseMessage(WWindow* window, UINT message, WPARAM wParam, int x, int y);
    virtual void OnDrawItem(WWindow* window, WWindow* control, DRAWITEMSTRUCT* item);        // 25
    virtual void OnMeasureItem(WWindow* window, WWindow* control, MEASUREITEMSTRUCT* item);  // 26
    virtual void OnCompareItem(WWindow* window, WWindow* control, COMPAREITEMSTRUCT* item);  // 27
    // 28: WM_NOTIFY; `result` is preset to 0. Returns DISPATCH_* bits. Default 0.
    virtual int OnNotify(WWindow* window, WWindow* control, NMHDR* header, LRESULT* result);

    // --- Operations ---
    // Creates the window and binds it to this object. style 0 = the default style for a child or
    // a top-level window; a null title is ""; a null handler makes the object its own handler;
    // `menuOrId` is the menu, or a child's identifier. The handle lands in `hwnd`.
    void Create(HWND parent, const char* className, int x, int y, int width, int height, DWORD style,
                const char* title, WWindow* handler, HMENU menuOrId, DWORD exStyle);
    // DestroyWindow's result, or 0 when there is no window.
    int Destroy();
    int Show();
    int Hide();
    BOOL WindowRect(RECT* rect) const { return GetWindowRect(hwnd, rect); }
    BOOL ClientRect(RECT* rect) const { return GetClientRect(hwnd, rect); }
    LONG GetStyle() const { return GetWindowLongA(hwnd, GWL_STYLE); }
    HWND GetHandle() const { return hwnd; }
    uint32_t GetFlags() const { return flags; }
    void SetFlags(uint32_t set, uint32_t keep) { flags = (flags & keep) | set; }
    WFrameWindow* AsFrameWindow();

    // The object bound to `window` in this process, or null.
    static WWindow* FromHandle(HWND window);

    int16_t hoverDelay;    // timer ticks the mouse must rest before OnHover
    uint32_t flags;
    WNDPROC previousProc;  // receives what the framework leaves to default processing
    HWND hwnd;             // null before creation and after WM_DESTROY
    WWindow* handler;      // the object whose slots receive this window's events
};

// The object itself when it is a WFrameWindow, else null (also for a null object).
WFrameWindow* AsFrameWindow(WWindow* window);
