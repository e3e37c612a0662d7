// Mouse tracking (enter, leave, hover) and drags of frame windows, driven by the shared timer.
// Still to come: until then no hover is reported and no drag ever starts; EndDrag already
// leaves the drag record idle so the dispatcher's press handling stays consistent.
#include "framework/FrameworkState.h"
#include "framework/WFrameWindow.h"

void SetHoverWindow(WWindow*, HWND) {}

void CALLBACK SharedTimerProc(HWND, UINT, UINT_PTR, DWORD) {}

void WFrameWindow::StartDrag(int32_t, int32_t, int, int32_t) {}

void WFrameWindow::MoveDrag(int32_t, int32_t) {}

void WFrameWindow::EndDrag(int)
{
    DragState& drag = framework.dragState;
    if (drag.mode == DRAGMODE_NONE)
        return;
    drag.countdown = DRAG_COUNTDOWN_IDLE;
    drag.mode = DRAGMODE_NONE;
}
