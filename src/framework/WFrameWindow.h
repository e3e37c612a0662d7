#pragma once
// WFrameWindow: a window of the framework's own class "ZEB_WL_FRAME", with its erase colour,
// cursor, scroll state and drag parameters.
#include "framework/WWindow.h"
#include "framework/DragState.h"

// `background` value that leaves the background alone; a value with BACKGROUND_SYSTEM_COLOUR set
// is a system colour index in the low 31 bits, any other a COLORREF.
constexpr int32_t BACKGROUND_NONE = -1;
constexpr uint32_t BACKGROUND_SYSTEM_COLOUR = 0x80000000u;

class WFrameWindow : public WWindow {
public:
    WFrameWindow();

    // 29: the drag protocol, called on the window itself. `code` is a DRAG_* code; for
    //     DRAG_QUERY the result is the drag mode, 0 refusing. The default refuses every drag.
    virtual int OnDrag(int code, DragState* state);

    // Create with the class "ZEB_WL_FRAME".
    void CreateFrame(HWND parent, int x, int y, int width, int height, DWORD style, const char* title,
                     WWindow* handler, HMENU menuOrId, DWORD exStyle);

    HCURSOR GetCursor() const { return cursor; }
    void SetCursor(HCURSOR newCursor) { cursor = newCursor; }  // takes effect at the next mouse move
    void ApplyCursor() const { ::SetCursor(cursor); }

    // Scrolling (WFrameWindowScroll.cpp).
    void SetExtent(int32_t cx, int32_t cy, int update);  // update nonzero: UpdateScrollBars
    // Keeps the scroll position within the content and sets up both bars; a corrected position
    // repaints the whole client area.
    void UpdateScrollBars();
    // Move the view by `amount` pixels, only on an axis with an extent. Up and Left stop at 0,
    // Down and Right at the last position (extent - client), where the scroll bar's thumb stops.
    void ScrollUp(int32_t amount);
    void ScrollDown(int32_t amount);
    void ScrollLeft(int32_t amount);
    void ScrollRight(int32_t amount);
    void ClientToContent(POINT* point) const;
    void ContentToClient(POINT* point) const;
    // The frame class procedure's WM_HSCROLL / WM_VSCROLL rules, before default processing.
    void OnScrollBar(UINT message, WPARAM wParam);

    // Dragging (MouseTracking.cpp). StartDrag asks OnDrag(DRAG_QUERY) for the mode; a drag
    // that starts takes the capture, and clips the cursor to the client area unless it is a
    // DRAGMODE_SCREEN drag, whose points are then screen coordinates. MoveDrag and EndDrag do
    // nothing while no drag is active; EndDrag(DRAG_END_DROP) drops, EndDrag(DRAG_END_CANCEL) cancels.
    void StartDrag(int32_t x, int32_t y, int wantDc, int32_t userValue);
    void MoveDrag(int32_t x, int32_t y);
    void EndDrag(int cancel);

    int32_t background;
    HCURSOR cursor;
    int32_t extentX, extentY;  // scrollable content size; 0 = no scrolling that way
    int32_t scrollX, scrollY;
    int32_t pageX, pageY;      // page step; 0 = client size
    int16_t lineX, lineY;
    int32_t dragDelay;         // ticks a held press waits before it becomes a drag
    int16_t dragThreshold;     // pixels from the press point that turn a press into a drag
};

// The window procedure of the class "ZEB_WL_FRAME", and so the previous procedure of every frame
// window: erasing, cursor, scroll bars and the quit message of a main window.
LRESULT CALLBACK FrameClassProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Records the framework window now under the mouse: leave, enter and hover-end reports and the
// shared timer (MouseTracking.cpp).
void SetHoverWindow(WWindow* window, HWND windowHandle);

// A window being destroyed stops being the hover window and the pressed or dragging window
// (its drag is cancelled), so neither the timer nor a later message reaches a gone object.
void ForgetTrackedWindow(WWindow* window);
