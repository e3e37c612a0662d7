// Mouse tracking of framework windows (enter, leave, hover) and drags of frame windows, driven
// by the shared 100 ms timer and by the mouse messages of the common window procedure.
#include "framework/FrameworkState.h"
#include "framework/WFrameWindow.h"
#include "framework/rules/ScrollRules.h"

namespace {

// One auto-scroll step of a client-mode drag whose cursor rests on an edge of the client area.
// The start point is carried through content coordinates so that it stays on the same content.
void AutoScroll(WFrameWindow* window, POINT cursor)
{
    ScreenToClient(window->hwnd, &cursor);
    RECT client = {};
    GetClientRect(window->hwnd, &client);
    const int edges = AutoScrollEdges(cursor.x, cursor.y, client.right, client.bottom);
    if (edges == 0)
        return;
    DragState& drag = framework.dragState;
    window->OnDrag(DRAG_HIDE, &drag);
    window->ClientToContent(&drag.start);
    if (edges & EDGE_LEFT)
        window->ScrollLeft(window->lineX);
    if (edges & EDGE_RIGHT)
        window->ScrollRight(window->lineX);
    if (edges & EDGE_TOP)
        window->ScrollUp(window->lineY);
    if (edges & EDGE_BOTTOM)
        window->ScrollDown(window->lineY);
    window->ContentToClient(&drag.start);
    if (window->OnDrag(DRAG_SHOW, &drag) == 0)
        drag.countdown = window->dragDelay;
}

}  // namespace

void SetHoverWindow(WWindow* window, HWND windowHandle)
{
    FrameworkState& f = framework;
    if (window == f.hoverWindow)
        return;
    f.pressPoint.x = -1;
    f.hoverPoint = POINT{-1, -1};
    f.pressHeld = 0;
    WWindow* old = f.hoverWindow;
    if (old != nullptr) {
        if (AsFrameWindow(old) != nullptr && DragActive() && f.dragState.window != nullptr)
            f.dragState.window->EndDrag(DRAG_END_CANCEL);
        if (f.hoverCountdown == 0)
            old->handler->OnHover(old, 0, 0, 1);
        old->handler->OnMouseLeave(old, windowHandle);
    }
    if (window == nullptr) {
        StopSharedTimer();
        return;
    }
    f.hoverCountdown = window->hoverDelay;
    if (AsFrameWindow(window) != nullptr)
        f.dragState.countdown = DRAG_COUNTDOWN_IDLE;
    StartSharedTimer(window);
    window->handler->OnMouseEnter(window, old != nullptr ? old->hwnd : nullptr);
}

void ForgetTrackedWindow(WWindow* window)
{
    FrameworkState& f = framework;
    DragState& drag = f.dragState;
    if (drag.window != nullptr && drag.window == window) {
        if (DragActive())
            drag.window->EndDrag(DRAG_END_CANCEL);
        drag.window = nullptr;
        drag.countdown = DRAG_COUNTDOWN_IDLE;
        f.pressHeld = 0;
    }
    if (f.hoverWindow == window)
        StopSharedTimer();
}

void CALLBACK SharedTimerProc(HWND, UINT, UINT_PTR, DWORD)
{
    FrameworkState& f = framework;
    DragState& drag = f.dragState;
    POINT cursor;
    GetCursorPos(&cursor);

    if (DragActive()) {
        WFrameWindow* dragging = drag.window;
        if (dragging == nullptr) {  // cannot happen through the framework; end it rather than crash
            drag.mode = DRAGMODE_NONE;
            return;
        }
        if (GetCapture() != dragging->hwnd) {
            dragging->EndDrag(DRAG_END_CANCEL);
            return;
        }
        if (drag.mode == DRAGMODE_CLIENT)
            AutoScroll(dragging, cursor);
        return;  // no hover or leave handling during a drag
    }

    const HWND under = WindowFromPoint(cursor);
    WWindow* window = WWindow::FromHandle(under);
    if (window == nullptr) {
        SetHoverWindow(nullptr, under);
        return;
    }
    if (WFrameWindow* frame = window->AsFrameWindow()) {
        // A refused drag leaves the idle mark, which must not count down into a second query
        // during the same press.
        if (f.pressHeld == 1 && drag.countdown != DRAG_COUNTDOWN_IDLE)
            drag.countdown -= 1;
        if (drag.countdown == 0)
            frame->StartDrag(f.pressPoint.x, f.pressPoint.y, 1, 0);
    }
    if (window->flags & WWindow::HoverNotify) {
        if (f.hoverCountdown == 1)
            window->handler->OnHover(window, f.hoverPoint.x, f.hoverPoint.y, 0);
        if (f.hoverCountdown != 0)
            --f.hoverCountdown;
    }
}

void WFrameWindow::StartDrag(int32_t x, int32_t y, int wantDc, int32_t userValue)
{
    DragState& drag = framework.dragState;
    // A second start would lose the first drag's DC, capture and clipping: end that one first.
    if (DragActive() && drag.window != nullptr)
        drag.window->EndDrag(DRAG_END_CANCEL);
    drag.userValue = userValue;
    drag.start = POINT{x, y};
    drag.countdown = DRAG_COUNTDOWN_IDLE;
    drag.window = this;
    drag.mode = OnDrag(DRAG_QUERY, &drag);
    if (drag.mode == DRAGMODE_NONE)
        return;
    if (drag.clickState == -1)
        drag.clickState = 1;  // the release that ends this press is not a click
    drag.dc = nullptr;
    if (drag.mode == DRAGMODE_SCREEN) {
        if (wantDc)
            drag.dc = GetDC(nullptr);
        ClientToScreen(hwnd, &drag.start);
    } else {
        if (wantDc)
            drag.dc = GetDC(hwnd);
        RECT client = {};
        GetClientRect(hwnd, &client);
        POINT corners[2] = {{client.left, client.top}, {client.right, client.bottom}};
        ClientToScreen(hwnd, &corners[0]);
        ClientToScreen(hwnd, &corners[1]);
        const RECT clip = {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
        ClipCursor(&clip);
    }
    drag.current = drag.start;
    OnDrag(DRAG_SHOW, &drag);
    // Taking a capture the window already holds reports a capture change to the window itself,
    // which would cancel the drag the moment it starts.
    if (GetCapture() != hwnd)
        SetCapture(hwnd);
}

void WFrameWindow::MoveDrag(int32_t x, int32_t y)
{
    DragState& drag = framework.dragState;
    if (drag.mode == DRAGMODE_NONE)
        return;
    OnDrag(DRAG_HIDE, &drag);
    drag.current = POINT{x, y};
    if (drag.mode == DRAGMODE_SCREEN)
        ClientToScreen(hwnd, &drag.current);
    OnDrag(DRAG_SHOW, &drag);
}

void WFrameWindow::EndDrag(int cancel)
{
    DragState& drag = framework.dragState;
    if (drag.mode == DRAGMODE_NONE)
        return;
    WFrameWindow* window = drag.window != nullptr ? drag.window : this;
    const int32_t mode = drag.mode;
    // Ended from here on, so the capture change that the release below causes does not end it twice.
    drag.countdown = DRAG_COUNTDOWN_IDLE;
    drag.mode = DRAGMODE_NONE;

    window->OnDrag(DRAG_HIDE, &drag);
    if (cancel != 0) {
        window->OnDrag(DRAG_CANCEL, &drag);
    } else {
        window->OnDrag(DRAG_DROP, &drag);
        if (mode == DRAGMODE_SCREEN && WWindow::FromHandle(WindowFromPoint(drag.current)) != nullptr)
            window->OnDrag(DRAG_DROP_OVER_WINDOW, &drag);
    }
    if (mode == DRAGMODE_SCREEN) {
        if (drag.dc != nullptr)
            ReleaseDC(nullptr, drag.dc);
    } else {
        ClipCursor(nullptr);
        if (drag.dc != nullptr)
            ReleaseDC(window->hwnd, drag.dc);
    }
    drag.dc = nullptr;
    drag.mode = DRAGMODE_NONE;
    // Only our own capture: a drag cancelled because another window took the mouse must not
    // take it away from that window again.
    if (window->hwnd != nullptr && GetCapture() == window->hwnd)
        ReleaseCapture();
    drag.countdown = DRAG_COUNTDOWN_IDLE;
}
