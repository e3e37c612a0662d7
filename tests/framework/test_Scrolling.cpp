// Scrolling of frame windows: the scroll bars UpdateScrollBars sets up, the four scroll
// operations (watched through what they leave to be painted) and the scroll-bar messages.
#include <cstring>

#include "FrameworkFixture.h"

namespace {

using PaintedFrame = Painting<WFrameWindow>;

class ScrollingTest : public FrameworkTest {
protected:
    // A frame with a client area of `width` x `height` inside the host.
    PaintedFrame* Scrolled(const char* label, int width = 400, int height = 300)
    {
        auto* p = Make<PaintedFrame>(label);
        p->CreateFrame(rec::Host(), 10, 10, width, height, WS_CHILD | WS_VISIBLE, label, nullptr, nullptr, 0);
        rec::Settle();
        return p;
    }
    static SCROLLINFO Bar(WFrameWindow* p, int bar)
    {
        SCROLLINFO info = {};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        GetScrollInfo(p->hwnd, bar, &info);
        return info;
    }
    static RECT Client(WFrameWindow* p)
    {
        RECT r;
        GetClientRect(p->hwnd, &r);
        return r;
    }
    static bool Disabled(WFrameWindow* p, LONG object)
    {
        SCROLLBARINFO info = {};
        info.cbSize = sizeof info;
        GetScrollBarInfo(p->hwnd, object, &info);
        // Both arrows unavailable: the bar is disabled as a whole.
        return (info.rgstate[1] & info.rgstate[5] & STATE_SYSTEM_UNAVAILABLE) != 0;
    }
    // Drops every logged call but erasing and painting, which tell what a scroll left to redraw.
    static void KeepPainting()
    {
        auto& log = rec::Log();
        std::vector<std::string> kept;
        for (auto& line : log) {
            if (line.rfind("OnPaint", 0) == 0 || line.rfind("OnErase", 0) == 0)
                kept.push_back(line);
        }
        log.swap(kept);
    }
    static void Send(WFrameWindow* p, UINT message, int request)
    {
        SendMessageA(p->hwnd, message, MAKEWPARAM(request, 0), 0);
    }
};

TEST_F(ScrollingTest, HorizontalBarCoversTheExtentWithAPageOfClientWidthPlusOne)
{
    auto* p = Scrolled("p");
    p->SetExtent(1000, 0, 1);
    EXPECT_TRUE(p->GetStyle() & WS_HSCROLL);
    EXPECT_FALSE(p->GetStyle() & WS_VSCROLL) << "no extent, no vertical bar";
    ASSERT_EQ(400, Client(p).right);
    SCROLLINFO h = Bar(p, SB_HORZ);
    EXPECT_EQ(0, h.nMin);
    EXPECT_EQ(1000, h.nMax);
    EXPECT_EQ(401u, h.nPage);
    EXPECT_EQ(0, h.nPos);
    SetScrollPos(p->hwnd, SB_HORZ, 5000, FALSE);
    EXPECT_EQ(600, GetScrollPos(p->hwnd, SB_HORZ)) << "the bar's positions must end at extent - width";

    p->scrollX = 650;
    p->UpdateScrollBars();
    EXPECT_EQ(600, p->scrollX);
    EXPECT_EQ(600, Bar(p, SB_HORZ).nPos);
    EXPECT_FALSE(Disabled(p, OBJID_HSCROLL));

    // Content that fits again: the bar that was shown stays, disabled.
    p->SetExtent(0, 0, 1);
    EXPECT_TRUE(p->GetStyle() & WS_HSCROLL);
    EXPECT_TRUE(Disabled(p, OBJID_HSCROLL));
    EXPECT_EQ(0, p->scrollX);

    p->SetExtent(1000, 0, 1);
    EXPECT_FALSE(Disabled(p, OBJID_HSCROLL)) << "a bar with something to scroll is enabled again";

    auto* q = Scrolled("q");
    q->SetExtent(400, 0, 1);
    EXPECT_FALSE(q->GetStyle() & WS_HSCROLL) << "an extent equal to the width needs no bar";
}

TEST_F(ScrollingTest, BothBarsDescribeTheClientAreaThatIsLeftBesideThem)
{
    auto* p = Scrolled("p");
    p->SetExtent(1000, 1000, 1);
    const RECT client = Client(p);
    ASSERT_LT(client.right, 400);
    ASSERT_LT(client.bottom, 300);
    EXPECT_EQ(static_cast<UINT>(client.right + 1), Bar(p, SB_HORZ).nPage);
    EXPECT_EQ(static_cast<UINT>(client.bottom + 1), Bar(p, SB_VERT).nPage)
        << "the vertical page must not be the height from before the horizontal bar appeared";
    SetScrollPos(p->hwnd, SB_VERT, 5000, FALSE);
    EXPECT_EQ(1000 - client.bottom, GetScrollPos(p->hwnd, SB_VERT)) << "the end of the content must be reachable";
}

TEST_F(ScrollingTest, ShrinkingTheExtentPullsTheViewBackAndRepaintsTheClient)
{
    auto* p = Scrolled("p");
    p->SetExtent(0, 1000, 1);
    const RECT client = Client(p);
    ASSERT_EQ(300, client.bottom);
    p->scrollY = 700;
    rec::Settle();
    p->UpdateScrollBars();
    KeepPainting();
    EXPECT_CALLS(nullptr);  // nothing to correct, nothing repainted

    p->SetExtent(0, 800, 1);
    EXPECT_EQ(500, p->scrollY);
    EXPECT_EQ(500, Bar(p, SB_VERT).nPos);
    KeepPainting();
    char paint[64];
    snprintf(paint, sizeof paint, "OnPaint(p, 0, 0, %ld, 300)", client.right);
    EXPECT_CALLS("OnEraseBackground(p)", paint, nullptr);

    p->SetExtent(0, 120, 1);
    EXPECT_EQ(0, p->scrollY) << "content smaller than the client is shown from its top";
    EXPECT_TRUE(Disabled(p, OBJID_VSCROLL));
    KeepPainting();
    EXPECT_CALLS("OnEraseBackground(p)", paint, nullptr);
}

TEST_F(ScrollingTest, ScrollUpStopsAtZeroAndStillResetsTheBar)
{
    auto* p = Scrolled("p");
    p->SetExtent(0, 1000, 1);
    const long width = Client(p).right;
    p->ScrollDown(5);
    EXPECT_EQ(5, p->scrollY);
    rec::Settle();

    p->ScrollUp(8);
    EXPECT_EQ(0, p->scrollY);
    EXPECT_EQ(0, GetScrollPos(p->hwnd, SB_VERT));
    KeepPainting();
    char strip[64];
    snprintf(strip, sizeof strip, "OnPaint(p, 0, 0, %ld, 5)", width);
    EXPECT_CALLS("OnEraseBackground(p)", strip, nullptr);  // only the 5 rows moved into view

    SetScrollPos(p->hwnd, SB_VERT, 40, FALSE);
    p->ScrollUp(8);
    EXPECT_EQ(0, p->scrollY);
    EXPECT_EQ(0, GetScrollPos(p->hwnd, SB_VERT));
    KeepPainting();
    EXPECT_CALLS(nullptr);
}

TEST_F(ScrollingTest, ForwardScrollingStopsAtTheLastPositionWhereTheThumbStops)
{
    auto* p = Scrolled("p");
    p->SetExtent(1000, 1000, 1);
    const RECT client = Client(p);
    const int32_t lastY = 1000 - client.bottom, lastX = 1000 - client.right;
    p->scrollY = lastY - 3;
    p->UpdateScrollBars();
    rec::Settle();

    p->ScrollDown(8);  // only the 3 rows that are left
    EXPECT_EQ(lastY, p->scrollY);
    KeepPainting();
    char strip[64];
    snprintf(strip, sizeof strip, "OnPaint(p, 0, %ld, %ld, %ld)", client.bottom - 3, client.right, client.bottom);
    EXPECT_CALLS("OnEraseBackground(p)", strip, nullptr);

    // A page or a line at the end moves nothing: view and thumb stay together.
    for (int request : {SB_PAGEDOWN, SB_LINEDOWN}) {
        Send(p, WM_VSCROLL, request);
        EXPECT_EQ(lastY, p->scrollY);
        EXPECT_EQ(lastY, GetScrollPos(p->hwnd, SB_VERT));
        KeepPainting();
        EXPECT_CALLS(nullptr);
    }
    p->scrollX = lastX - 1;
    Send(p, WM_HSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(lastX, p->scrollX);
    Send(p, WM_HSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(lastX, p->scrollX);
    EXPECT_EQ(lastX, GetScrollPos(p->hwnd, SB_HORZ));

    p->SetExtent(0, 0, 1);
    p->ScrollDown(8);
    p->ScrollRight(8);
    p->ScrollUp(8);
    EXPECT_EQ(0, p->scrollY) << "without an extent nothing scrolls";
    EXPECT_EQ(0, p->scrollX);
}

TEST_F(ScrollingTest, ScrollLeftAndRightMoveTheViewSideways)
{
    auto* p = Scrolled("p");
    p->SetExtent(1000, 0, 1);
    const long height = Client(p).bottom;
    rec::Settle();
    p->ScrollRight(30);
    EXPECT_EQ(30, p->scrollX);
    EXPECT_EQ(30, GetScrollPos(p->hwnd, SB_HORZ));
    KeepPainting();
    char strip[64];
    snprintf(strip, sizeof strip, "OnPaint(p, 370, 0, 400, %ld)", height);
    EXPECT_CALLS("OnEraseBackground(p)", strip, nullptr);
    p->ScrollLeft(100);
    EXPECT_EQ(0, p->scrollX);
    KeepPainting();
    snprintf(strip, sizeof strip, "OnPaint(p, 0, 0, 30, %ld)", height);
    EXPECT_CALLS("OnEraseBackground(p)", strip, nullptr);

    POINT point = {5, 7};
    p->scrollX = 30;
    p->scrollY = 4;
    p->ClientToContent(&point);
    EXPECT_EQ(35, point.x);
    EXPECT_EQ(11, point.y);
    p->ContentToClient(&point);
    EXPECT_EQ(5, point.x);
    EXPECT_EQ(7, point.y);
}

TEST_F(ScrollingTest, LineAndPageRequestsWithTheirSteps)
{
    auto* p = Scrolled("p");
    p->SetExtent(0, 1000, 1);
    Send(p, WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(8, p->scrollY);
    EXPECT_EQ(8, GetScrollPos(p->hwnd, SB_VERT));
    Send(p, WM_VSCROLL, SB_PAGEDOWN);  // the default step: a page less 8 pixels
    EXPECT_EQ(8 + 292, p->scrollY);
    p->pageY = 50;
    Send(p, WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(350, p->scrollY);
    Send(p, WM_VSCROLL, SB_PAGEUP);
    EXPECT_EQ(300, p->scrollY);
    Send(p, WM_VSCROLL, SB_LINEUP);
    EXPECT_EQ(292, p->scrollY);
    p->pageY = 0;  // a whole client height
    Send(p, WM_VSCROLL, SB_PAGEUP);
    EXPECT_EQ(0, p->scrollY);
    p->lineY = 3;
    Send(p, WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(3, p->scrollY);
    EXPECT_EQ(3, GetScrollPos(p->hwnd, SB_VERT));

    // Requests for an axis without an extent are left alone.
    Send(p, WM_HSCROLL, SB_LINEDOWN);
    EXPECT_EQ(0, p->scrollX);
    p->extentY = 0;
    Send(p, WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(3, p->scrollY);
}

TEST_F(ScrollingTest, ThumbTracksBothWaysButOnlyTheHorizontalReleaseMoves)
{
    auto* p = Scrolled("p");
    p->SetExtent(1000, 1000, 1);
    // Outside a tracking loop the track position is the bar's own position.
    SetScrollPos(p->hwnd, SB_VERT, 300, FALSE);
    Send(p, WM_VSCROLL, SB_THUMBTRACK);
    EXPECT_EQ(300, p->scrollY);
    SetScrollPos(p->hwnd, SB_VERT, 120, FALSE);
    Send(p, WM_VSCROLL, SB_THUMBTRACK);
    EXPECT_EQ(120, p->scrollY);

    SetScrollPos(p->hwnd, SB_VERT, 200, FALSE);
    Send(p, WM_VSCROLL, SB_THUMBPOSITION);
    EXPECT_EQ(120, p->scrollY);
    EXPECT_EQ(120, GetScrollPos(p->hwnd, SB_VERT)) << "the bar goes back to the view's position";

    SetScrollPos(p->hwnd, SB_HORZ, 250, FALSE);
    Send(p, WM_HSCROLL, SB_THUMBPOSITION);
    EXPECT_EQ(250, p->scrollX);
    SetScrollPos(p->hwnd, SB_HORZ, 100, FALSE);
    Send(p, WM_HSCROLL, SB_THUMBTRACK);
    EXPECT_EQ(100, p->scrollX);

    SetScrollPos(p->hwnd, SB_HORZ, 400, FALSE);
    Send(p, WM_HSCROLL, SB_ENDSCROLL);
    EXPECT_EQ(100, p->scrollX);
    EXPECT_EQ(100, GetScrollPos(p->hwnd, SB_HORZ));
}

TEST_F(ScrollingTest, ResizingReappliesTheExtent)
{
    auto* p = Scrolled("p");
    p->SetExtent(1000, 0, 1);
    p->scrollX = 600;
    p->UpdateScrollBars();
    SetWindowPos(p->hwnd, nullptr, 0, 0, 500, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(500, p->scrollX) << "a wider client shows more content, so the view moves back";
    EXPECT_EQ(501u, Bar(p, SB_HORZ).nPage);
}

}  // namespace
