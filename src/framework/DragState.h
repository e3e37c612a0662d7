#pragma once
// DragState: the one process-wide record of a pending press or a running drag, and the codes
// that the drag hook of a frame window receives.
#include <windows.h>
#include <cstdint>

class WFrameWindow;

// The countdown value that means no press is waiting to become a drag.
constexpr int32_t DRAG_COUNTDOWN_IDLE = 2000000000;

// What OnDrag(DRAG_QUERY) answers. Any other nonzero mode drags like DRAGMODE_CLIENT (capture,
// cursor kept in the client area) but without auto-scrolling at the edges.
enum DragMode : int32_t { DRAGMODE_NONE = 0, DRAGMODE_CLIENT = 1, DRAGMODE_SCREEN = 2 };

enum DragCode : int {
    DRAG_QUERY = 0,
    DRAG_HIDE = 1,
    DRAG_SHOW = 2,
    DRAG_DROP = 3,
    DRAG_CANCEL = 4,
    DRAG_DROP_OVER_WINDOW = 5,
};

// What EndDrag does with the drag it ends.
enum DragEnd : int { DRAG_END_DROP = 0, DRAG_END_CANCEL = 1 };

struct DragState {
    WFrameWindow* window;  // pressed or dragging frame window; null when no press is pending
    HDC dc;                // DC taken for the drag, or null
    POINT start;           // client coordinates, screen coordinates for DRAGMODE_SCREEN
    POINT current;
    int32_t countdown;     // ticks before a held press becomes a drag; DRAG_COUNTDOWN_IDLE = none
    int32_t mode;          // DRAGMODE_*; nonzero while a drag is active
    int32_t clickState;    // -1 press pending, 1 a drag started during it, 0 neither
    int32_t userValue;
};
