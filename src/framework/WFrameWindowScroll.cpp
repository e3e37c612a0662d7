// Scrolling of frame windows whose content (the extent) is larger than their client area: the
// two standard scroll bars, the four scroll operations and the scroll-bar messages.
#include "framework/WFrameWindow.h"

#include "framework/rules/ScrollRules.h"

namespace {

// Sets up one bar for an extent over a client size. A bar with nothing to scroll is hidden, or
// disabled once it has been shown (showing it gave the window the scroll style for good).
void ConfigureBar(HWND hwnd, int bar, LONG scrollStyle, int32_t extent, int32_t client, int32_t position)
{
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = ScrollBarMaximum(extent, client);
    info.nPage = static_cast<UINT>(client + 1);  // with nMax = extent, positions run 0 .. extent - client
    info.nPos = position;
    if (info.nMax == 0) {
        if (GetWindowLongA(hwnd, GWL_STYLE) & scrollStyle)
            EnableScrollBar(hwnd, bar, ESB_DISABLE_BOTH);
        else
            ShowScrollBar(hwnd, bar, FALSE);
        return;
    }
    SetScrollInfo(hwnd, bar, &info, TRUE);
    EnableScrollBar(hwnd, bar, ESB_ENABLE_BOTH);
    ShowScrollBar(hwnd, bar, TRUE);
}

// Moves the pixels already drawn, paints what the move uncovered, and puts the bar's thumb at
// the new position.
void MoveView(HWND hwnd, int dx, int dy, int bar, int32_t position)
{
    ScrollWindow(hwnd, dx, dy, nullptr, nullptr);
    UpdateWindow(hwnd);
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    info.nPos = position;
    SetScrollInfo(hwnd, bar, &info, TRUE);
}

}  // namespace

void WFrameWindow::SetExtent(int32_t cx, int32_t cy, int update)
{
    extentX = cx;
    extentY = cy;
    if (update)
        UpdateScrollBars();
}

void WFrameWindow::UpdateScrollBars()
{
    RECT client = {};  // a window not created yet has no client area
    GetClientRect(hwnd, &client);
    const int32_t width = client.right;
    int32_t height = client.bottom;
    const int32_t eX = EffectiveExtent(extentX, width);
    int32_t eY = EffectiveExtent(extentY, height);

    bool changed = false;
    scrollY = ClampScrollPosition(scrollY, eY, height, &changed);
    scrollX = ClampScrollPosition(scrollX, eX, width, &changed);

    ConfigureBar(hwnd, SB_HORZ, WS_HSCROLL, eX, width, scrollX);
    // Showing or hiding the horizontal bar changes the client height. The vertical bar must
    // describe the height that is left, or the last rows of the content are out of its reach.
    GetClientRect(hwnd, &client);
    if (client.bottom != height) {
        height = client.bottom;
        eY = EffectiveExtent(extentY, height);
        scrollY = ClampScrollPosition(scrollY, eY, height, &changed);
    }
    ConfigureBar(hwnd, SB_VERT, WS_VSCROLL, eY, height, scrollY);

    if (changed) {
        InvalidateRect(hwnd, nullptr, TRUE);
        UpdateWindow(hwnd);
    }
}

void WFrameWindow::ScrollUp(int32_t amount)
{
    if (extentY <= 0)
        return;
    const int32_t a = BackwardAmount(amount, scrollY);
    scrollY -= a;
    MoveView(hwnd, 0, a, SB_VERT, scrollY);
}

void WFrameWindow::ScrollLeft(int32_t amount)
{
    if (extentX <= 0)
        return;
    const int32_t a = BackwardAmount(amount, scrollX);
    scrollX -= a;
    MoveView(hwnd, a, 0, SB_HORZ, scrollX);
}

void WFrameWindow::ScrollDown(int32_t amount)
{
    RECT client = {};
    GetClientRect(hwnd, &client);
    const int32_t a = ForwardAmount(amount, extentY, scrollY, client.bottom);
    if (a == 0)
        return;
    scrollY += a;
    MoveView(hwnd, 0, -a, SB_VERT, scrollY);
}

void WFrameWindow::ScrollRight(int32_t amount)
{
    RECT client = {};
    GetClientRect(hwnd, &client);
    const int32_t a = ForwardAmount(amount, extentX, scrollX, client.right);
    if (a == 0)
        return;
    scrollX += a;
    MoveView(hwnd, -a, 0, SB_HORZ, scrollX);
}

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

void WFrameWindow::OnScrollBar(UINT message, WPARAM wParam)
{
    const bool horizontal = message == WM_HSCROLL;
    if ((horizontal ? extentX : extentY) <= 0)
        return;
    const int bar = horizontal ? SB_HORZ : SB_VERT;
    RECT client = {};
    GetClientRect(hwnd, &client);
    // Back: towards position 0 (up or left); forward: towards the end.
    auto back = [&](int32_t amount) { horizontal ? ScrollLeft(amount) : ScrollUp(amount); };
    auto forward = [&](int32_t amount) { horizontal ? ScrollRight(amount) : ScrollDown(amount); };
    const int32_t line = horizontal ? lineX : lineY;
    const int32_t page = PageStep(horizontal ? pageX : pageY, horizontal ? client.right : client.bottom);

    const int request = LOWORD(wParam);
    // The vertical thumb follows only while it is tracked; its release changes nothing.
    const bool thumb = request == SB_THUMBTRACK || (request == SB_THUMBPOSITION && horizontal);
    if (request == SB_LINEUP) {
        back(line);
    } else if (request == SB_LINEDOWN) {
        forward(line);
    } else if (request == SB_PAGEUP) {
        back(page);
    } else if (request == SB_PAGEDOWN) {
        forward(page);
    } else if (thumb) {
        SCROLLINFO info = {};
        info.cbSize = sizeof info;
        info.fMask = SIF_TRACKPOS;
        info.nTrackPos = horizontal ? scrollX : scrollY;  // no bar to ask: no move
        GetScrollInfo(hwnd, bar, &info);
        const int32_t d = (horizontal ? scrollX : scrollY) - info.nTrackPos;
        if (d >= 0)
            back(d);
        else
            forward(-d);
    }
    SetScrollPos(hwnd, bar, horizontal ? scrollX : scrollY, TRUE);
}
