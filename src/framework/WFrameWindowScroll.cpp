// Scrolling of frame windows whose content is larger than their client area.
// The scroll bars and the four scroll operations are still to come: until then a frame window
// records its extent and never scrolls.
#include "framework/WFrameWindow.h"

void WFrameWindow::SetExtent(int32_t cx, int32_t cy, int update)
{
    extentX = cx;
    extentY = cy;
    if (update)
        UpdateScrollBars();
}

void WFrameWindow::UpdateScrollBars() {}

void WFrameWindow::ScrollUp(int32_t) {}
void WFrameWindow::ScrollDown(int32_t) {}
void WFrameWindow::ScrollLeft(int32_t) {}
void WFrameWindow::ScrollRight(int32_t) {}

void WFrameWindow::ClientToContent(POINT* point) const
{
    point->x += scrollX;
    point->y += scrollY;
}

void WFrameWindow::ContentToClient(POINT* point) const
{
    point->x -= scrollX;
    point->y -= scrollY;
}

void WFrameWindow::OnScrollBar(UINT, WPARAM) {}
