// Mouse tracking and drags: enter, leave and hover reports, the press that becomes a click or a
// drag, the three drag modes and auto-scrolling. The cursor is really moved (SetCursorPos, whose
// mouse move is dispatched like any other); the shared timer is replaced by one that never
// fires, and each test ticks it by calling the timer procedure.
#include <memory>

#include "FrameworkFixture.h"
#include "ImportHook.h"

namespace {

constexpr UINT_PTR FAKE_TIMER_ID = 77;

UINT_PTR WINAPI FakeSetTimer(HWND, UINT_PTR, UINT elapse, TIMERPROC)
{
    rec::Add("SetTimer(%u)", elapse);
    return FAKE_TIMER_ID;
}

BOOL WINAPI FakeKillTimer(HWND, UINT_PTR id)
{
    rec::Add("KillTimer(%d)", static_cast<int>(id));
    return TRUE;
}

const char* DragCodeName(int code)
{
    static const char* const names[] = {"QUERY", "HIDE", "SHOW", "DROP", "CANCEL", "DROP_OVER_WINDOW"};
    return code >= 0 && code <= 5 ? names[code] : "?";
}

// A recording frame whose drag hook logs each call and answers the query with `mode`.
class DragFrame : public RecordingFrame {
public:
    using RecordingFrame::RecordingFrame;
    int OnDrag(int code, DragState* state) override
    {
        if (code == DRAG_SHOW) {
            rec::Add("OnDrag(%s, SHOW, start %ld %ld, current %ld %ld, %s)", rec::Label(this).c_str(), state->start.x,
                     state->start.y, state->current.x, state->current.y, state->dc != nullptr ? "dc" : "no dc");
            return showResult;
        }
        rec::Add("OnDrag(%s, %s)", rec::Label(this).c_str(), DragCodeName(code));
        return code == DRAG_QUERY ? mode : 0;
    }
    int mode = DRAGMODE_NONE;
    int showResult = 1;
};

class MouseTrackingTest : public FrameworkTest {
protected:
    void SetUp() override
    {
        FrameworkTest::SetUp();
        setTimer = std::make_unique<ImportHook>("user32.dll", "SetTimer", reinterpret_cast<void*>(FakeSetTimer));
        killTimer = std::make_unique<ImportHook>("user32.dll", "KillTimer", reinterpret_cast<void*>(FakeKillTimer));
        ASSERT_TRUE(setTimer->Installed() && killTimer->Installed());
    }
    void TearDown() override
    {
        ClipCursor(nullptr);
        SetCursorPos(1000, 740);
        FrameworkTest::TearDown();
        StopSharedTimer();
        framework.dragState = DragState{};
        framework.dragState.countdown = DRAG_COUNTDOWN_IDLE;
        framework.pressHeld = 0;
        killTimer.reset();
        setTimer.reset();
    }
    // A frame at (x, y) of the host, which lies at the screen's origin.
    DragFrame* Placed(const char* label, int x = 50, int y = 40)
    {
        auto* p = Make<DragFrame>(label);
        p->CreateFrame(rec::Host(), x, y, 300, 200, WS_CHILD | WS_VISIBLE, label, nullptr, nullptr, 0);
        rec::Settle();
        return p;
    }
    static void Pump()
    {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    // Puts the cursor on client point (x, y) of `w` and dispatches the mouse move that causes.
    static void MoveTo(WWindow* w, int x, int y)
    {
        POINT p = {x, y};
        ClientToScreen(w->hwnd, &p);
        SetCursorPos(p.x, p.y);
        Pump();
    }
    static void MoveToDesktop()
    {
        SetCursorPos(1000, 740);
        Pump();
    }
    static void Tick(int times = 1)
    {
        for (int i = 0; i < times; ++i)
            SharedTimerProc(nullptr, WM_TIMER, framework.sharedTimerId, 0);
    }
    static void Press(WWindow* w, int x, int y)
    {
        SendMessageA(w->hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    }
    static void Release(WWindow* w, int x, int y) { SendMessageA(w->hwnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }
    // A client-mode (or other) drag of `p` started by holding a press at (x, y) for 8 ticks.
    static void StartHeldDrag(DragFrame* p, int mode, int x, int y)
    {
        p->mode = mode;
        MoveTo(p, x, y);
        Press(p, x, y);
        Tick(8);
        rec::Log().clear();
    }
    static RECT Clip()
    {
        RECT r;
        GetClipCursor(&r);
        return r;
    }
    static bool Logged(const char* line)
    {
        for (auto& l : rec::Log()) {
            if (l == line)
                return true;
        }
        return false;
    }

    std::unique_ptr<ImportHook> setTimer, killTimer;
};

TEST_F(MouseTrackingTest, HoverFiresOnTheTwentiethRestingTickAndRestartsBeyondFourPixels)
{
    auto* p = Placed("p");
    MoveTo(p, 100, 80);
    EXPECT_CALLS("OnMouseMessage(p, WM_MOUSEMOVE, 0, 100, 80)", "SetTimer(100)", "OnMouseEnter(p, null)",
                 "OnMouseMove(p, 100, 80, 0)", nullptr);
    Tick(19);
    EXPECT_CALLS(nullptr);
    Tick();
    EXPECT_CALLS("OnHover(p, 100, 80, 0)", nullptr);
    Tick(5);
    EXPECT_CALLS(nullptr);

    MoveTo(p, 104, 76);  // 4 pixels each way: still resting
    EXPECT_CALLS("OnMouseMessage(p, WM_MOUSEMOVE, 0, 104, 76)", "OnMouseMove(p, 104, 76, 0)", nullptr);
    MoveTo(p, 95, 80);  // 5 pixels from where it came to rest
    EXPECT_CALLS("OnMouseMessage(p, WM_MOUSEMOVE, 0, 95, 80)", "OnHover(p, 0, 0, 1)", "OnMouseMove(p, 95, 80, 0)",
                 nullptr);
    Tick(19);
    EXPECT_CALLS(nullptr);
    Tick();
    EXPECT_CALLS("OnHover(p, 95, 80, 0)", nullptr);
}

TEST_F(MouseTrackingTest, MovingToAForeignWindowEndsHoverAndLeavesWithinOneTick)
{
    auto* p = Placed("p");
    MoveTo(p, 100, 80);
    Tick(20);
    rec::Log().clear();

    MoveToDesktop();
    EXPECT_CALLS(nullptr);
    Tick();
    EXPECT_CALLS("OnHover(p, 0, 0, 1)", "OnMouseLeave(p, foreign)", "KillTimer(77)", nullptr);
    EXPECT_EQ(0u, framework.sharedTimerId);
    EXPECT_EQ(nullptr, GetHoverWindow());
    Tick();
    EXPECT_CALLS(nullptr);

    // Without a hover shown, leaving reports only the leave.
    MoveTo(p, 100, 80);
    Tick(3);
    rec::Log().clear();
    MoveToDesktop();
    Tick();
    EXPECT_CALLS("OnMouseLeave(p, foreign)", "KillTimer(77)", nullptr);
}

TEST_F(MouseTrackingTest, MovingBetweenFrameworkWindowsLeavesOneAndEntersTheOther)
{
    auto* p = Placed("p", 0, 0);
    auto* q = Placed("q", 300, 0);
    MoveTo(p, 250, 80);
    Tick(20);
    rec::Log().clear();
    MoveTo(q, 10, 80);
    EXPECT_CALLS("OnMouseMessage(q, WM_MOUSEMOVE, 0, 10, 80)", "OnHover(p, 0, 0, 1)", "OnMouseLeave(p, q)",
                 "OnMouseEnter(q, p)", "OnMouseMove(q, 10, 80, 0)", nullptr);
    EXPECT_EQ(q, GetHoverWindow());
}

TEST_F(MouseTrackingTest, APressReleasedWithinEightTicksIsAClick)
{
    auto* p = Placed("p");
    MoveTo(p, 100, 80);
    rec::Log().clear();
    Press(p, 100, 80);
    Tick(7);
    Release(p, 100, 80);
    EXPECT_CALLS("OnMouseMessage(p, WM_LBUTTONDOWN, 1, 100, 80)", "OnMouseMessage(p, WM_LBUTTONUP, 0, 100, 80)",
                 "OnClick(p, 100, 80)", nullptr);
    Tick(10);
    EXPECT_CALLS(nullptr);
}

TEST_F(MouseTrackingTest, APressHeldEightTicksAsksForADragAndARefusalStillClicks)
{
    auto* p = Placed("p");
    MoveTo(p, 100, 80);
    Press(p, 100, 80);
    rec::Log().clear();
    Tick(7);
    EXPECT_CALLS(nullptr);
    Tick();
    EXPECT_CALLS("OnDrag(p, QUERY)", nullptr);
    EXPECT_EQ(nullptr, GetCapture());
    Tick(10);
    EXPECT_CALLS(nullptr);  // asked once only
    MoveTo(p, 106, 80);     // nor again when the refused press moves on
    Tick(2);
    EXPECT_FALSE(Logged("OnDrag(p, QUERY)"));
    EXPECT_EQ(DRAG_COUNTDOWN_IDLE, framework.dragState.countdown);
    rec::Log().clear();
    Release(p, 106, 80);
    EXPECT_CALLS("OnMouseMessage(p, WM_LBUTTONUP, 0, 106, 80)", "OnClick(p, 106, 80)", nullptr);
}

TEST_F(MouseTrackingTest, APressMovedFourPixelsAsksAtTheNextTick)
{
    auto* p = Placed("p");
    MoveTo(p, 100, 80);
    Press(p, 100, 80);
    MoveTo(p, 103, 77);
    rec::Log().clear();
    Tick();
    EXPECT_CALLS(nullptr);
    MoveTo(p, 104, 80);
    rec::Log().clear();
    Tick();
    EXPECT_CALLS("OnDrag(p, QUERY)", nullptr);
}

TEST_F(MouseTrackingTest, ClientDragCapturesClipsFollowsAndDrops)
{
    auto* p = Placed("p");
    p->mode = DRAGMODE_CLIENT;
    MoveTo(p, 100, 80);
    Press(p, 100, 80);
    Tick(7);
    rec::Log().clear();
    Tick();
    EXPECT_CALLS("OnDrag(p, QUERY)", "OnDrag(p, SHOW, start 100 80, current 100 80, dc)", nullptr);
    EXPECT_EQ(p->hwnd, GetCapture());
    const RECT clip = Clip();
    EXPECT_EQ(50, clip.left);
    EXPECT_EQ(40, clip.top);
    EXPECT_EQ(350, clip.right);
    EXPECT_EQ(240, clip.bottom);

    MoveTo(p, 120, 90);
    EXPECT_CALLS("OnMouseMessage(p, WM_MOUSEMOVE, 0, 120, 90)", "OnDrag(p, HIDE)",
                 "OnDrag(p, SHOW, start 100 80, current 120 90, dc)", nullptr);
    MoveTo(p, 500, 90);  // the cursor cannot leave the client area
    EXPECT_CALLS("OnMouseMessage(p, WM_MOUSEMOVE, 0, 299, 90)", "OnDrag(p, HIDE)",
                 "OnDrag(p, SHOW, start 100 80, current 299 90, dc)", nullptr);

    Release(p, 299, 90);
    EXPECT_CALLS("OnMouseMessage(p, WM_LBUTTONUP, 0, 299, 90)", "OnDrag(p, HIDE)", "OnDrag(p, DROP)",
                 "OnMouseMessage(p, WM_CAPTURECHANGED, 0, 0, 0)", nullptr);
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_EQ(0, Clip().left);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), Clip().right);
    EXPECT_EQ(nullptr, framework.dragState.dc);
    EXPECT_EQ(DRAGMODE_NONE, framework.dragState.mode);
}

TEST_F(MouseTrackingTest, EscapeCancelsTheDragAndTheReleaseIsNoClick)
{
    auto* p = Placed("p");
    StartHeldDrag(p, DRAGMODE_CLIENT, 100, 80);
    SendMessageA(p->hwnd, WM_CHAR, VK_ESCAPE, 1);
    EXPECT_CALLS("OnDrag(p, HIDE)", "OnDrag(p, CANCEL)", "OnMouseMessage(p, WM_CAPTURECHANGED, 0, 0, 0)",
                 "OnChar(p, 27)", nullptr);
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_EQ(0, Clip().left);
    EXPECT_EQ(1, framework.dragState.clickState);
    Release(p, 100, 80);
    EXPECT_CALLS("OnMouseMessage(p, WM_LBUTTONUP, 0, 100, 80)", nullptr);
    EXPECT_EQ(0, framework.dragState.clickState);

    // Deactivation cancels the same way.
    StartHeldDrag(p, DRAGMODE_CLIENT, 100, 80);
    SendMessageA(p->hwnd, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_CALLS("OnDrag(p, HIDE)", "OnDrag(p, CANCEL)", "OnMouseMessage(p, WM_CAPTURECHANGED, 0, 0, 0)", nullptr);
}

TEST_F(MouseTrackingTest, ClientDragAutoScrollsAtTheTwoLeftColumnsAndTheRightmostColumn)
{
    auto* p = Placed("p");
    p->SetExtent(1000, 0, 1);
    p->scrollX = 20;
    p->UpdateScrollBars();
    StartHeldDrag(p, DRAGMODE_CLIENT, 100, 80);

    MoveTo(p, -50, 80);  // clipped to the first column
    rec::Log().clear();
    Tick();
    EXPECT_EQ(12, p->scrollX);
    EXPECT_CALLS("OnDrag(p, HIDE)", "OnEraseBackground(p)", "OnDrag(p, SHOW, start 108 80, current 0 80, dc)", nullptr);
    Tick(2);
    EXPECT_EQ(0, p->scrollX);
    rec::Log().clear();
    Tick();  // at the start of the content: the step moves nothing
    EXPECT_EQ(0, p->scrollX);
    EXPECT_CALLS("OnDrag(p, HIDE)", "OnDrag(p, SHOW, start 120 80, current 0 80, dc)", nullptr);

    p->scrollX = 8;  // the start point stays at client x 120, now content x 128
    MoveTo(p, 1, 80);
    rec::Log().clear();
    Tick();
    EXPECT_EQ(0, p->scrollX) << "the second column scrolls too";
    MoveTo(p, 2, 80);
    rec::Log().clear();
    Tick();
    EXPECT_CALLS(nullptr);

    MoveTo(p, 298, 80);
    Tick();
    EXPECT_EQ(0, p->scrollX) << "only the last column scrolls right";
    MoveTo(p, 800, 80);
    rec::Log().clear();
    p->showResult = 0;
    Tick();
    EXPECT_EQ(8, p->scrollX);
    EXPECT_CALLS("OnDrag(p, HIDE)", "OnEraseBackground(p)", "OnDrag(p, SHOW, start 120 80, current 299 80, dc)",
                 nullptr);
    EXPECT_EQ(8, framework.dragState.countdown) << "a hidden drag image restarts the countdown";
}

TEST_F(MouseTrackingTest, ClickAfterADragReachesAnyWindow)
{
    auto* p = Placed("p");
    auto* w = Make<RecordingWindow>("w");
    w->Create(rec::Host(), rec::TEST_CLASS, 400, 300, 100, 100, WS_CHILD | WS_VISIBLE, "w", nullptr, nullptr, 0);
    auto click = [&] {
        rec::Settle();
        SendMessageA(w->hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6));
        SendMessageA(w->hwnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 6));
        EXPECT_CALLS("OnMouseMessage(w, WM_LBUTTONDOWN, 1, 5, 6)", "OnMouseMessage(w, WM_LBUTTONUP, 0, 5, 6)",
                     "OnClick(w, 5, 6)", nullptr);
    };
    StartHeldDrag(p, DRAGMODE_CLIENT, 100, 80);
    Release(p, 100, 80);  // dropped: the press is over
    EXPECT_EQ(0, framework.dragState.clickState);
    click();

    // Cancelled by another window taking the mouse; the release goes elsewhere.
    StartHeldDrag(p, DRAGMODE_CLIENT, 100, 80);
    SetCapture(rec::Host());
    ReleaseCapture();
    EXPECT_EQ(DRAGMODE_NONE, framework.dragState.mode);
    click();
}

TEST_F(MouseTrackingTest, ClientDragAutoScrollsAtTheTopAndBottomRowsAndBothWaysInACorner)
{
    auto* p = Placed("p");
    p->SetExtent(1000, 1000, 1);
    p->scrollX = 20;
    p->scrollY = 20;
    p->UpdateScrollBars();
    StartHeldDrag(p, DRAGMODE_CLIENT, 100, 80);
    static const struct {
        int x, y;  // client point the cursor is sent to; the clipping keeps it inside
        int32_t scrollX, scrollY;
    } rows[] = {
        {100, -50, 20, 12},  // top row
        {100, 500, 20, 20},  // bottom row
        {-50, -50, 12, 12},  // top left corner: both ways in one tick
        {900, 900, 20, 20},  // bottom right corner
        {100, 80, 20, 20},   // inside: nothing
    };
    for (const auto& row : rows) {
        MoveTo(p, row.x, row.y);
        Tick();
        EXPECT_EQ(row.scrollX, p->scrollX) << row.x << ", " << row.y;
        EXPECT_EQ(row.scrollY, p->scrollY) << row.x << ", " << row.y;
    }
}

// The drag hook belongs to the window, whatever handler serves its other slots.
TEST_F(MouseTrackingTest, TheDragHookIsTheWindowsOwn)
{
    auto* h = Make<DragFrame>("h");
    h->mode = DRAGMODE_CLIENT;
    auto* p = Make<DragFrame>("p");
    p->CreateFrame(rec::Host(), 50, 40, 300, 200, WS_CHILD | WS_VISIBLE, "p", h, nullptr, 0);
    rec::Settle();
    p->mode = DRAGMODE_CLIENT;
    MoveTo(p, 100, 80);
    Press(p, 100, 80);
    rec::Log().clear();
    Tick(8);
    EXPECT_CALLS("OnDrag(p, QUERY)", "OnDrag(p, SHOW, start 100 80, current 100 80, dc)", nullptr);
    Release(p, 100, 80);
    EXPECT_CALLS("h.OnMouseMessage(p, WM_LBUTTONUP, 0, 100, 80)", "OnDrag(p, HIDE)", "OnDrag(p, DROP)",
                 "h.OnMouseMessage(p, WM_CAPTURECHANGED, 0, 0, 0)", nullptr);
}

TEST_F(MouseTrackingTest, ModeThreeCapturesAndClipsWithoutAutoScroll)
{
    auto* p = Placed("p");
    p->SetExtent(1000, 0, 1);
    p->scrollX = 20;
    p->UpdateScrollBars();
    StartHeldDrag(p, 3, 100, 80);
    EXPECT_EQ(p->hwnd, GetCapture());
    EXPECT_EQ(50, Clip().left);
    EXPECT_EQ(350, Clip().right);
    MoveTo(p, 0, 80);
    rec::Log().clear();
    Tick(3);
    EXPECT_CALLS(nullptr);
    EXPECT_EQ(20, p->scrollX);
}

TEST_F(MouseTrackingTest, ScreenDragUsesScreenPointsAndReportsADropOverAFrameworkWindow)
{
    auto* p = Placed("p");
    auto* q = Placed("q", 360, 40);
    StartHeldDrag(p, DRAGMODE_SCREEN, 100, 80);
    EXPECT_EQ(p->hwnd, GetCapture());
    EXPECT_EQ(0, Clip().left) << "a screen drag does not clip";
    EXPECT_EQ(150, framework.dragState.start.x);
    EXPECT_EQ(120, framework.dragState.start.y);

    MoveTo(q, 20, 30);  // captured: the move reaches p, in p's client coordinates
    EXPECT_CALLS("OnMouseMessage(p, WM_MOUSEMOVE, 0, 330, 30)", "OnDrag(p, HIDE)",
                 "OnDrag(p, SHOW, start 150 120, current 380 70, dc)", nullptr);
    Release(p, 330, 30);
    EXPECT_CALLS("OnMouseMessage(p, WM_LBUTTONUP, 0, 330, 30)", "OnDrag(p, HIDE)", "OnDrag(p, DROP)",
                 "OnDrag(p, DROP_OVER_WINDOW)", "OnMouseMessage(p, WM_CAPTURECHANGED, 0, 0, 0)", nullptr);

    // Left of and above the window the captured mouse has negative client coordinates.
    StartHeldDrag(p, DRAGMODE_SCREEN, 100, 80);
    SetCursorPos(10, 5);
    Pump();
    EXPECT_CALLS("OnMouseMessage(p, WM_MOUSEMOVE, 0, -40, -35)", "OnDrag(p, HIDE)",
                 "OnDrag(p, SHOW, start 150 120, current 10 5, dc)", nullptr);
    Release(p, -40, -35);
    EXPECT_CALLS("OnMouseMessage(p, WM_LBUTTONUP, 0, -40, -35)", "OnDrag(p, HIDE)", "OnDrag(p, DROP)",
                 "OnMouseMessage(p, WM_CAPTURECHANGED, 0, 0, 0)", nullptr);
}

TEST_F(MouseTrackingTest, AStartedDragEndsTheOneBeforeIt)
{
    auto* p = Placed("p");
    StartHeldDrag(p, DRAGMODE_CLIENT, 100, 80);
    p->StartDrag(10, 20, 0, 5);
    EXPECT_CALLS("OnDrag(p, HIDE)", "OnDrag(p, CANCEL)", "OnMouseMessage(p, WM_CAPTURECHANGED, 0, 0, 0)",
                 "OnDrag(p, QUERY)", "OnDrag(p, SHOW, start 10 20, current 10 20, no dc)", nullptr);
    EXPECT_EQ(5, framework.dragState.userValue);
    EXPECT_EQ(p->hwnd, GetCapture());
    Release(p, 10, 20);
    EXPECT_CALLS("OnMouseMessage(p, WM_LBUTTONUP, 0, 10, 20)", "OnDrag(p, HIDE)", "OnDrag(p, DROP)",
                 "OnMouseMessage(p, WM_CAPTURECHANGED, 0, 0, 0)", nullptr);
}

TEST_F(MouseTrackingTest, AWindowHoldingTheCaptureAlreadyKeepsItsDrag)
{
    auto* p = Placed("p");
    p->mode = DRAGMODE_CLIENT;
    MoveTo(p, 100, 80);
    Press(p, 100, 80);
    SetCapture(p->hwnd);  // as a window that captures the mouse on every press does
    rec::Log().clear();
    Tick(8);
    EXPECT_CALLS("OnDrag(p, QUERY)", "OnDrag(p, SHOW, start 100 80, current 100 80, dc)", nullptr);
    EXPECT_EQ(DRAGMODE_CLIENT, framework.dragState.mode);
    EXPECT_EQ(p->hwnd, GetCapture());
}

TEST_F(MouseTrackingTest, ADragLosingTheCaptureIsCancelledAndTheNewHolderKeepsIt)
{
    auto* p = Placed("p");
    auto* q = Placed("q", 360, 40);
    StartHeldDrag(p, DRAGMODE_CLIENT, 100, 80);
    SetCapture(q->hwnd);
    EXPECT_TRUE(Logged("OnDrag(p, CANCEL)"));
    EXPECT_EQ(q->hwnd, GetCapture()) << "cancelling the drag must not take the capture back from q";
    EXPECT_EQ(0, Clip().left);
    ReleaseCapture();

    // A capture change the framework never hears of is found by the next tick.
    p->filter = [](WWindow*, UINT message, WPARAM, LPARAM, LRESULT*) { return message == WM_CAPTURECHANGED ? 2 : 0; };
    StartHeldDrag(p, DRAGMODE_CLIENT, 100, 80);
    ReleaseCapture();
    EXPECT_CALLS(nullptr);
    Tick();
    EXPECT_CALLS("OnDrag(p, HIDE)", "OnDrag(p, CANCEL)", nullptr);
    EXPECT_EQ(DRAGMODE_NONE, framework.dragState.mode);
}

TEST_F(MouseTrackingTest, DestroyingTheHoverWindowStopsTrackingIt)
{
    auto* p = Placed("p");
    MoveTo(p, 100, 80);
    rec::Log().clear();
    p->Destroy();
    EXPECT_CALLS("OnHide(p)", "OnDestroy(p)", "KillTimer(77)", nullptr);
    EXPECT_EQ(nullptr, GetHoverWindow());
    Tick();
    EXPECT_CALLS(nullptr);

    // A drag in progress is cancelled with its window, and the cursor is freed.
    auto* q = Placed("q");
    StartHeldDrag(q, DRAGMODE_CLIENT, 100, 80);
    q->Destroy();
    EXPECT_TRUE(Logged("OnDrag(q, CANCEL)"));
    EXPECT_EQ(DRAGMODE_NONE, framework.dragState.mode);
    EXPECT_EQ(nullptr, framework.dragState.window);
    EXPECT_EQ(0, Clip().left);

    // Its filter may keep WM_DESTROY from the framework: the window is forgotten all the same.
    auto* r = Placed("r");
    r->filter = [](WWindow*, UINT message, WPARAM, LPARAM, LRESULT*) { return message == WM_DESTROY ? 2 : 0; };
    MoveTo(r, 100, 80);
    Press(r, 100, 80);
    ASSERT_EQ(r, GetHoverWindow());
    r->Destroy();
    EXPECT_EQ(nullptr, GetHoverWindow());
    EXPECT_EQ(nullptr, framework.dragState.window);
    EXPECT_EQ(DRAG_COUNTDOWN_IDLE, framework.dragState.countdown);
    rec::Log().clear();
    Tick(9);
    EXPECT_CALLS(nullptr);
}

}  // namespace
