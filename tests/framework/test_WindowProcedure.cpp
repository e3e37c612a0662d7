// The common window procedure: which slots each message reaches, in which order and with which
// arguments, and what goes on to the replaced procedure ("previous").
#include "FrameworkFixture.h"

namespace {

class WindowProcedureTest : public FrameworkTest {};

// Test programs run side by side, and another one may take the foreground (and so our focus)
// whenever this thread dispatches. Focus is set until it holds; the checks that follow then
// dispatch nothing in between.
bool HoldFocus(HWND window)
{
    for (int attempt = 0; attempt < 50; ++attempt) {
        SetForegroundWindow(GetAncestor(window, GA_ROOT));
        SetFocus(window);
        if (GetFocus() == window) {
            rec::Log().clear();
            return true;
        }
        rec::Settle();
        Sleep(20);
    }
    return false;
}

TEST_F(WindowProcedureTest, FilterResult3ReturnsItsLresultAndNothingElseRuns)
{
    auto* p = Window<RecordingWindow>("p");
    p->filter = [](WWindow* w, UINT message, WPARAM, LPARAM, LRESULT* result) {
        if (message != WM_KEYDOWN)
            return 0;
        rec::Add("FilterMessage(%s, %s, preset %d)", rec::Label(w).c_str(), MessageName(message), static_cast<int>(*result));
        *result = 7;
        return 3;
    };
    rec::WatchedMessage() = WM_KEYDOWN;
    rec::Settle();
    EXPECT_EQ(7, SendMessageA(p->hwnd, WM_KEYDOWN, 'A', 1));
    EXPECT_CALLS("FilterMessage(p, WM_KEYDOWN, preset 1)", nullptr);
}

TEST_F(WindowProcedureTest, FilterResult2SkipsTheSlotsButNotThePreviousProcedure)
{
    auto* p = Window<RecordingWindow>("p");
    p->filter = [](WWindow*, UINT message, WPARAM, LPARAM, LRESULT*) { return message == WM_KEYDOWN ? 2 : 0; };
    rec::WatchedMessage() = WM_KEYDOWN;
    rec::Settle();
    EXPECT_EQ(0, SendMessageA(p->hwnd, WM_KEYDOWN, 'A', 1));
    EXPECT_CALLS("previous(p, WM_KEYDOWN)", nullptr);
}

TEST_F(WindowProcedureTest, FilterResult1DoesNotStopThePaintProtocol)
{
    auto* p = Window<Painting<WWindow>>("p");
    p->filter = [](WWindow* w, UINT message, WPARAM, LPARAM, LRESULT* result) {
        if (message != WM_PAINT)
            return 0;
        rec::Add("FilterMessage(%s, %s)", rec::Label(w).c_str(), MessageName(message));
        *result = 5;
        return 1;
    };
    rec::Settle();
    InvalidateRect(p->hwnd, nullptr, FALSE);
    EXPECT_EQ(0, SendMessageA(p->hwnd, WM_PAINT, 0, 0));
    EXPECT_CALLS("FilterMessage(p, WM_PAINT)", "OnPaint(p, 0, 0, 300, 200)", nullptr);
    RECT left;
    EXPECT_FALSE(GetUpdateRect(p->hwnd, &left, FALSE)) << "the painting did not validate the window";
}

TEST_F(WindowProcedureTest, FocusPairsKillAndSetAcrossFrameworkWindowsOnly)
{
    auto* p = Window<RecordingWindow>("p");
    auto* a = Child<RecordingWindow>("a", p, 1);
    auto* b = Child<RecordingWindow>("b", p, 2);
    HWND foreign = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 200, 10, 50, 40, p->hwnd, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    rec::Settle();
    ASSERT_TRUE(HoldFocus(a->hwnd));

    SetFocus(b->hwnd);
    EXPECT_CALLS("OnKillFocus(a)", "OnSetFocus(b)", nullptr);
    SetFocus(foreign);
    EXPECT_CALLS("OnKillFocus(b)", nullptr);
    SetFocus(a->hwnd);
    EXPECT_CALLS("OnSetFocus(a)", nullptr);
}

TEST_F(WindowProcedureTest, KeyDownIsReportedOncePerRepeat)
{
    auto* p = Window<RecordingWindow>("p");
    rec::WatchedMessage() = WM_KEYDOWN;
    rec::Settle();
    SendMessageA(p->hwnd, WM_KEYDOWN, 'K', 3);
    EXPECT_CALLS("OnKeyDown(p, 75)", "OnKeyDown(p, 75)", "OnKeyDown(p, 75)", "previous(p, WM_KEYDOWN)", nullptr);
    SendMessageA(p->hwnd, WM_KEYDOWN, 'K', 0);
    EXPECT_CALLS("previous(p, WM_KEYDOWN)", nullptr);
    // Only the low 16 bits count; the scan code above them does not.
    SendMessageA(p->hwnd, WM_KEYDOWN, 'K', MAKELPARAM(2, 0x25));
    EXPECT_CALLS("OnKeyDown(p, 75)", "OnKeyDown(p, 75)", "previous(p, WM_KEYDOWN)", nullptr);
}

TEST_F(WindowProcedureTest, DoubleClickOnAFrameGivesClickDoubleClickClick)
{
    auto* p = Frame<RecordingFrame>("p");
    rec::Settle();
    SendMessageA(p->hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 20));
    EXPECT_CALLS("OnMouseMessage(p, WM_LBUTTONDOWN, 1, 10, 20)", nullptr);
    EXPECT_EQ(p, framework.dragState.window);
    EXPECT_EQ(8, framework.dragState.countdown);
    EXPECT_EQ(-1, framework.dragState.clickState);
    EXPECT_EQ(1, framework.pressHeld);
    EXPECT_EQ(10, framework.pressPoint.x);
    EXPECT_EQ(20, framework.pressPoint.y);

    SendMessageA(p->hwnd, WM_LBUTTONUP, 0, MAKELPARAM(10, 20));
    EXPECT_CALLS("OnMouseMessage(p, WM_LBUTTONUP, 0, 10, 20)", "OnClick(p, 10, 20)", nullptr);
    EXPECT_EQ(nullptr, framework.dragState.window);
    EXPECT_EQ(DRAG_COUNTDOWN_IDLE, framework.dragState.countdown);
    EXPECT_EQ(0, framework.pressHeld);

    SendMessageA(p->hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 20));
    EXPECT_CALLS("OnMouseMessage(p, WM_LBUTTONDBLCLK, 1, 10, 20)", "OnDoubleClick(p, 10, 20)", nullptr);
    EXPECT_EQ(nullptr, framework.dragState.window) << "a double click must not start press tracking";

    SendMessageA(p->hwnd, WM_LBUTTONUP, 0, MAKELPARAM(10, 20));
    EXPECT_CALLS("OnMouseMessage(p, WM_LBUTTONUP, 0, 10, 20)", "OnClick(p, 10, 20)", nullptr);
}

TEST_F(WindowProcedureTest, PressOnAWindowOfAnotherClassArmsNothing)
{
    auto* p = Window<RecordingWindow>("p");
    rec::Settle();
    SendMessageA(p->hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 2));
    EXPECT_CALLS("OnMouseMessage(p, WM_LBUTTONDOWN, 1, 1, 2)", nullptr);
    EXPECT_EQ(nullptr, framework.dragState.window);
    EXPECT_EQ(DRAG_COUNTDOWN_IDLE, framework.dragState.countdown);
    SendMessageA(p->hwnd, WM_LBUTTONUP, 0, MAKELPARAM(1, 2));
    EXPECT_CALLS("OnMouseMessage(p, WM_LBUTTONUP, 0, 1, 2)", "OnClick(p, 1, 2)", nullptr);
}

TEST_F(WindowProcedureTest, ReleaseAfterAnEndedDragIsNoClick)
{
    auto* p = Frame<RecordingFrame>("p");
    rec::Settle();
    SendMessageA(p->hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    framework.dragState.clickState = 1;  // as left by a drag that started and was cancelled
    rec::Settle();
    SendMessageA(p->hwnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_CALLS("OnMouseMessage(p, WM_LBUTTONUP, 0, 5, 5)", nullptr);
    EXPECT_EQ(0, framework.dragState.clickState);
}

TEST_F(WindowProcedureTest, MouseCoordinatesKeepTheirSign)
{
    auto* p = Frame<RecordingFrame>("p");
    rec::Settle();
    SendMessageA(p->hwnd, WM_LBUTTONUP, 0, MAKELPARAM(-5, 7));
    EXPECT_CALLS("OnMouseMessage(p, WM_LBUTTONUP, 0, -5, 7)", "OnClick(p, -5, 7)", nullptr);
    SendMessageA(p->hwnd, WM_MOVE, 0, MAKELPARAM(-20, -30));
    EXPECT_CALLS("OnMove(p, -20, -30)", nullptr);
}

TEST_F(WindowProcedureTest, RightButtonDownAndUpReachOneSlotEach)
{
    auto* p = Frame<RecordingFrame>("p");
    rec::Settle();
    SendMessageA(p->hwnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(3, 4));
    EXPECT_CALLS("OnMouseMessage(p, WM_RBUTTONDOWN, 2, 3, 4)", nullptr);
    SendMessageA(p->hwnd, WM_RBUTTONUP, 0, MAKELPARAM(3, 4));
    EXPECT_CALLS("OnRightButtonUp(p, 3, 4)", nullptr);
}

TEST_F(WindowProcedureTest, MovingAHeldPressFourPixelsStartsTheDragCountdown)
{
    auto* p = Frame<RecordingFrame>("p");
    framework.hoverWindow = p;  // the mouse is already known to be over p
    framework.hoverCountdown = 5;
    framework.hoverPoint = {10, 10};
    rec::Settle();
    SendMessageA(p->hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageA(p->hwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(13, 7));
    EXPECT_CALLS("OnMouseMessage(p, WM_LBUTTONDOWN, 1, 10, 10)", "OnMouseMessage(p, WM_MOUSEMOVE, 1, 13, 7)",
                 "OnMouseMove(p, 13, 7, 1)", nullptr);
    EXPECT_EQ(1, framework.pressHeld);
    EXPECT_EQ(8, framework.dragState.countdown);

    SendMessageA(p->hwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, 14));
    EXPECT_EQ(0, framework.pressHeld);
    EXPECT_EQ(0, framework.dragState.countdown) << "the drag should start at the next tick";
}

TEST_F(WindowProcedureTest, HoverRestartsOnlyBeyondFourPixels)
{
    auto* p = Frame<RecordingFrame>("p");
    framework.hoverWindow = p;
    framework.hoverPoint = {50, 50};
    framework.hoverCountdown = 0;  // a hover has been reported
    rec::Settle();
    SendMessageA(p->hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(54, 46));
    EXPECT_CALLS("OnMouseMessage(p, WM_MOUSEMOVE, 0, 54, 46)", "OnMouseMove(p, 54, 46, 0)", nullptr);
    EXPECT_EQ(0, framework.hoverCountdown);

    SendMessageA(p->hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(55, 50));
    EXPECT_CALLS("OnMouseMessage(p, WM_MOUSEMOVE, 0, 55, 50)", "OnHover(p, 0, 0, 1)", "OnMouseMove(p, 55, 50, 0)",
                 nullptr);
    EXPECT_EQ(20, framework.hoverCountdown);
    EXPECT_EQ(55, framework.hoverPoint.x);
    EXPECT_EQ(50, framework.hoverPoint.y);
}

TEST_F(WindowProcedureTest, CloseAsksTheWindowThenEveryDescendant)
{
    auto* p = TopLevel<RecordingFrame>("p");
    auto* c = Child<RecordingFrame>("c", p, 1, FRAME_CLASS_NAME);
    auto* g = Child<RecordingFrame>("g", c, 2, FRAME_CLASS_NAME);
    ASSERT_EQ(p->hwnd, GetMainWindow());
    rec::Settle();

    p->canClose = 0;
    EXPECT_EQ(0, SendMessageA(p->hwnd, WM_CLOSE, 0, 0));
    EXPECT_CALLS("CanClose(p, 2)", nullptr);

    p->canClose = 1;
    g->canClose = 0;
    EXPECT_EQ(0, SendMessageA(p->hwnd, WM_CLOSE, 0, 0));
    EXPECT_CALLS("CanClose(p, 2)", "CanClose(c, 2)", "CanClose(g, 2)", nullptr);
    EXPECT_TRUE(IsWindow(p->hwnd));
    EXPECT_TRUE(IsWindow(g->hwnd));

    g->canClose = 1;
    HWND closed = p->hwnd;
    EXPECT_EQ(0, SendMessageA(closed, WM_CLOSE, 0, 0));
    EXPECT_CALLS("CanClose(p, 2)", "CanClose(c, 2)", "CanClose(g, 2)", "OnDestroy(p)", "OnDestroy(c)", "OnDestroy(g)",
                 nullptr);
    EXPECT_FALSE(IsWindow(closed));
    EXPECT_EQ(nullptr, p->hwnd);
    EXPECT_EQ(nullptr, g->hwnd);
    EXPECT_EQ(nullptr, GetMainWindow());
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "destroying the main window posts WM_QUIT";
}

TEST_F(WindowProcedureTest, DestroyingTheMainWindowPostsAQuitUnlessKeepLoopOnDestroy)
{
    for (bool keep : {false, true}) {
        auto* p = TopLevel<RecordingFrame>("p");
        ASSERT_EQ(p->hwnd, GetMainWindow());
        if (keep)
            p->SetFlags(WWindow::KeepLoopOnDestroy, ~0u);
        rec::Settle();
        p->Destroy();
        EXPECT_EQ(nullptr, GetMainWindow());
        MSG msg;
        EXPECT_EQ(!keep, PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0) << "keep " << keep;
    }
}

// Every slot a message reaches is called on the window's handler, with the window; only
// FilterMessage (and OnDrag) are the window's own.
TEST_F(WindowProcedureTest, SlotsGoToTheHandlerAndEveryMouseMessageIsReported)
{
    auto* h = Make<RecordingFrame>("h");
    auto* p = Frame<RecordingFrame>("p", h);
    p->filter = [](WWindow* w, UINT message, WPARAM, LPARAM, LRESULT*) {
        if (message == WM_APP)
            rec::Add("FilterMessage(%s)", rec::Label(w).c_str());
        return 0;
    };
    h->filter = [](WWindow*, UINT message, WPARAM, LPARAM, LRESULT*) {
        if (message == WM_APP)
            rec::Add("handler filtered");
        return 0;
    };
    h->canClose = 0;
    const LPARAM at = MAKELPARAM(-3, 4);
    static const struct {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        const char* calls[4];
    } rows[] = {
        {WM_APP, 0, 0, {"FilterMessage(p)"}},
        {WM_NCMOUSEMOVE, HTCAPTION, at, {"h.OnMouseEnter(p, null)"}},
        {WM_MOUSEMOVE, 0, MAKELPARAM(3, 4), {"h.OnMouseMessage(p, WM_MOUSEMOVE, 0, 3, 4)", "h.OnMouseMove(p, 3, 4, 0)"}},
        {WM_MOVE, 0, MAKELPARAM(1, 2), {"h.OnMove(p, 1, 2)"}},
        {WM_SETFOCUS, 0, 0, {"h.OnSetFocus(p)"}},
        {WM_KILLFOCUS, 0, 0, {"h.OnKillFocus(p)"}},
        {WM_SHOWWINDOW, 0, 0, {"h.OnHide(p)"}},
        {WM_SHOWWINDOW, 1, 0, {"h.OnShow(p)"}},
        {WM_CHAR, 'A', 1, {"h.OnChar(p, 65)"}},
        {WM_KEYDOWN, 'A', 1, {"h.OnKeyDown(p, 65)"}},
        {WM_COMMAND, 5, 0, {"h.OnCommand(p, null, 0, null, 5)"}},
        {WM_CLOSE, 0, 0, {"h.CanClose(p, 2)"}},
        {WM_LBUTTONDOWN, MK_LBUTTON, at, {"h.OnMouseMessage(p, WM_LBUTTONDOWN, 1, -3, 4)"}},
        {WM_LBUTTONUP, 0, at, {"h.OnMouseMessage(p, WM_LBUTTONUP, 0, -3, 4)", "h.OnClick(p, -3, 4)"}},
        {WM_LBUTTONDBLCLK, MK_LBUTTON, at,
         {"h.OnMouseMessage(p, WM_LBUTTONDBLCLK, 1, -3, 4)", "h.OnDoubleClick(p, -3, 4)"}},
        {WM_RBUTTONDOWN, MK_RBUTTON, at, {"h.OnMouseMessage(p, WM_RBUTTONDOWN, 2, -3, 4)"}},
        {WM_RBUTTONUP, 0, at, {"h.OnRightButtonUp(p, -3, 4)"}},
        {WM_RBUTTONDBLCLK, MK_RBUTTON, at, {"h.OnMouseMessage(p, WM_RBUTTONDBLCLK, 2, -3, 4)"}},
        {WM_MBUTTONDOWN, MK_MBUTTON, at, {"h.OnMouseMessage(p, WM_MBUTTONDOWN, 16, -3, 4)"}},
        {WM_MBUTTONUP, 0, at, {"h.OnMouseMessage(p, WM_MBUTTONUP, 0, -3, 4)"}},
        {WM_MBUTTONDBLCLK, MK_MBUTTON, at, {"h.OnMouseMessage(p, WM_MBUTTONDBLCLK, 16, -3, 4)"}},
        {WM_MOUSEWHEEL, MAKEWPARAM(0, 120), at, {"h.OnMouseMessage(p, WM_MOUSEWHEEL, 7864320, -3, 4)"}},
        {WM_MOUSEACTIVATE, 0, MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN), {"h.OnMouseMessage(p, WM_MOUSEACTIVATE, 0, 1, 513)"}},
        // The window that takes the capture comes as the message's wParam.
        {WM_CAPTURECHANGED, 0, 0x1234, {"h.OnMouseMessage(p, WM_CAPTURECHANGED, 4660, 0, 0)"}},
    };
    rec::Settle();
    for (const auto& row : rows) {
        SendMessageA(p->hwnd, row.message, row.wParam, row.lParam);
        std::vector<std::string> expected;
        for (const char* c : row.calls) {
            if (c != nullptr)
                expected.push_back(c);
        }
        EXPECT_EQ(expected, rec::Log()) << MessageName(row.message) << " " << row.wParam;
        rec::Log().clear();
    }
    EXPECT_EQ(p, GetHoverWindow()) << "a move over the frame counts for hover";
    StopSharedTimer();

    // Shown and resized, the window has its extent applied before the handler hears of it: the
    // position pulled back repaints first.
    p->SetExtent(1000, 0, 1);
    rec::Settle();
    p->scrollX = 5000;
    SendMessageA(p->hwnd, WM_SHOWWINDOW, 1, 0);
    EXPECT_CALLS("h.OnEraseBackground(p)", "h.OnShow(p)", nullptr);
    EXPECT_EQ(700, p->scrollX);
    p->scrollX = 5000;
    SendMessageA(p->hwnd, WM_SIZE, 0, MAKELPARAM(300, 180));
    EXPECT_CALLS("h.OnEraseBackground(p)", "h.OnSize(p, 300, 180)", nullptr);
    EXPECT_EQ(700, p->scrollX);

    p->Destroy();
    EXPECT_CALLS("h.OnHide(p)", "h.OnDestroy(p)", nullptr);
}

TEST_F(WindowProcedureTest, CommandGoesToTheWindowUnlessTheControlTakesItsOwn)
{
    auto* p = Window<RecordingWindow>("p");
    auto* b = Child<RecordingWindow>("b", p, 7, "BUTTON");
    rec::WatchedMessage() = WM_COMMAND;
    rec::Settle();

    SendMessageA(p->hwnd, WM_COMMAND, MAKEWPARAM(101, 0), 0);
    EXPECT_CALLS("OnCommand(p, null, 0, null, 101)", "previous(p, WM_COMMAND)", nullptr);

    SendMessageA(p->hwnd, WM_COMMAND, MAKEWPARAM(7, BN_CLICKED), reinterpret_cast<LPARAM>(b->hwnd));
    EXPECT_CALLS("OnCommand(p, b, 0, b, 7)", "previous(p, WM_COMMAND)", nullptr);

    b->SetFlags(WWindow::OwnCommand, ~0u);
    SendMessageA(p->hwnd, WM_COMMAND, MAKEWPARAM(7, BN_DOUBLECLICKED), reinterpret_cast<LPARAM>(b->hwnd));
    EXPECT_CALLS("OnCommand(b, b, 5, b, 7)", "previous(p, WM_COMMAND)", nullptr);

    // The slot's flags replace the filter's: 1 returns the preset result without the previous procedure.
    b->commandResult = 1;
    EXPECT_EQ(1, SendMessageA(p->hwnd, WM_COMMAND, MAKEWPARAM(7, 0), reinterpret_cast<LPARAM>(b->hwnd)));
    EXPECT_CALLS("OnCommand(b, b, 0, b, 7)", nullptr);
}

TEST_F(WindowProcedureTest, NotifyPresetsZeroAndHonoursOwnNotify)
{
    auto* p = Window<RecordingWindow>("p");
    auto* b = Child<RecordingWindow>("b", p, 7, "BUTTON");
    rec::WatchedMessage() = WM_NOTIFY;
    rec::Settle();
    NMHDR header = {b->hwnd, 7, static_cast<UINT>(-2)};

    SendMessageA(p->hwnd, WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&header));
    EXPECT_CALLS("OnNotify(p, b, -2, 0)", "previous(p, WM_NOTIFY)", nullptr);

    b->SetFlags(WWindow::OwnNotify, ~0u);
    b->notifyResult = 9;
    b->notifyFlags = DISPATCH_RETURN_RESULT;
    EXPECT_EQ(9, SendMessageA(p->hwnd, WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&header)));
    EXPECT_CALLS("OnNotify(b, b, -2, 0)", nullptr);
}

TEST_F(WindowProcedureTest, OwnerDrawRoutesMenusToTheHandlerAndControlsByOwnItemDraw)
{
    auto* h = Make<RecordingWindow>("h");
    auto* p = Window<RecordingWindow>("p", h);
    auto* b = Child<RecordingWindow>("b", p, 7, "BUTTON");
    rec::WatchedMessage() = WM_MEASUREITEM;
    rec::Settle();

    DRAWITEMSTRUCT draw = {};
    draw.CtlType = ODT_MENU;
    draw.itemID = 5;
    EXPECT_EQ(1, SendMessageA(p->hwnd, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw)));
    EXPECT_CALLS("OnDrawItem(h, null, 5)", nullptr);

    draw.CtlType = ODT_BUTTON;
    draw.CtlID = 7;
    draw.hwndItem = b->hwnd;
    EXPECT_EQ(1, SendMessageA(p->hwnd, WM_DRAWITEM, 7, reinterpret_cast<LPARAM>(&draw)));
    EXPECT_CALLS("h.OnDrawItem(p, b, 5)", nullptr);

    MEASUREITEMSTRUCT measure = {};
    measure.CtlType = ODT_MENU;
    measure.itemID = 3;
    SendMessageA(p->hwnd, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
    EXPECT_CALLS("OnMeasureItem(h, null, 3)", "previous(p, WM_MEASUREITEM)", nullptr);

    b->SetFlags(WWindow::OwnItemDraw, ~0u);
    measure.CtlType = ODT_BUTTON;
    measure.CtlID = 7;  // measured controls are found by identifier
    EXPECT_EQ(1, SendMessageA(p->hwnd, WM_MEASUREITEM, 7, reinterpret_cast<LPARAM>(&measure)));
    EXPECT_CALLS("OnMeasureItem(b, b, 3)", nullptr);

    COMPAREITEMSTRUCT compare = {};
    compare.CtlType = ODT_LISTBOX;
    compare.hwndItem = b->hwnd;
    compare.itemID1 = 4;
    EXPECT_EQ(1, SendMessageA(p->hwnd, WM_COMPAREITEM, 7, reinterpret_cast<LPARAM>(&compare)));
    EXPECT_CALLS("OnCompareItem(b, b, 4)", nullptr);
}

}  // namespace
