// Window objects: creation and binding, default styles, the main-window record, handlers and
// override bits, cursors, the frame class's background fill, and the small operations.
#include "FrameworkFixture.h"
#include "framework/WindowProcedure.h"

namespace {

class WWindowTest : public FrameworkTest {};

// A handler that is not a window of its own: overrides one painting slot each.
class PaintHandler : public Painting<WWindow> {
public:
    using Painting<WWindow>::Painting;
};
class PostPaintHandler : public PostPainting<WWindow> {
public:
    using PostPainting<WWindow>::PostPainting;
};

TEST_F(WWindowTest, StyleZeroWithAParentMakesAVisibleBorderedChildShownAfterOnCreate)
{
    auto* p = Window<RecordingWindow>("p");
    auto* c = Make<RecordingFrame>("c");
    rec::Settle();
    c->CreateFrame(p->hwnd, 5, 6, 70, 40, 0, nullptr, nullptr, reinterpret_cast<HMENU>(12), 0);
    ASSERT_NE(nullptr, c->hwnd);
    EXPECT_FALSE(c->visibleInOnCreate) << "the window was visible before it was bound";
    EXPECT_TRUE(IsWindowVisible(c->hwnd));
    EXPECT_EQ(0x56800000, c->GetStyle());
    EXPECT_EQ(12, GetDlgCtrlID(c->hwnd));
    EXPECT_EQ(c, WWindow::FromHandle(c->hwnd));
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(c), GetWindowLongPtrA(c->hwnd, GWLP_USERDATA));
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(WindowProcedure), GetWindowLongPtrA(c->hwnd, GWLP_WNDPROC));
    EXPECT_EQ(FrameClassProcedure, c->previousProc);
    EXPECT_EQ(WWindow::HoverNotify | WWindow::FrameWindow, c->GetFlags());
    char title[8] = "x";
    GetWindowTextA(c->hwnd, title, sizeof title);
    EXPECT_STREQ("", title);
    EXPECT_EQ(nullptr, GetMainWindow()) << "a child is never the main window";
}

TEST_F(WWindowTest, TopLevelDefaultStylesDependOnTheTitle)
{
    auto* titled = Make<RecordingFrame>("titled");
    auto* untitled = Make<RecordingFrame>("untitled");
    // Made invisible again at once: a visible top-level window costs seconds to take down here.
    titled->CreateFrame(nullptr, 0, 0, 100, 100, 0, "Title", nullptr, nullptr, 0);
    titled->Hide();
    untitled->CreateFrame(nullptr, 0, 0, 100, 100, 0, nullptr, nullptr, nullptr, 0);
    untitled->Hide();
    EXPECT_EQ(static_cast<LONG>(0x96CF0000 & ~WS_VISIBLE), titled->GetStyle() & ~WS_VISIBLE);
    EXPECT_EQ(static_cast<LONG>(0x968B0000 & ~WS_VISIBLE), untitled->GetStyle() & ~WS_VISIBLE);
}

TEST_F(WWindowTest, AStyleWithoutVisibleStaysHiddenUntilShow)
{
    auto* w = Make<RecordingFrame>("w");
    w->CreateFrame(rec::Host(), 0, 0, 100, 80, WS_CHILD | WS_BORDER, "w", nullptr, nullptr, 0);
    EXPECT_CALLS("OnCreate(w)", nullptr);
    EXPECT_FALSE(IsWindowVisible(w->hwnd));
    EXPECT_NE(0, w->Show() == 0) << "ShowWindow reports the window was hidden";
    EXPECT_TRUE(IsWindowVisible(w->hwnd));
    rec::Settle();
    EXPECT_NE(0, w->Hide());
    EXPECT_CALLS("OnHide(w)", nullptr);
    EXPECT_FALSE(IsWindowVisible(w->hwnd));
}

TEST_F(WWindowTest, AnotherHandlerTakesTheOverrideBitsAndTheSlots)
{
    auto* painter = Make<PaintHandler>("painter");
    auto* postPainter = Make<PostPaintHandler>("postPainter");
    auto* a = Frame<RecordingFrame>("a", painter);
    auto* b = Frame<RecordingFrame>("b", postPainter);
    auto* own = Frame<Painting<WFrameWindow>>("own");
    EXPECT_EQ(painter, a->handler);
    EXPECT_EQ(own, own->handler);
    EXPECT_EQ(static_cast<uint32_t>(WWindow::HasOnPaint), painter->GetFlags());
    EXPECT_EQ(static_cast<uint32_t>(WWindow::HasOnPostPaint), postPainter->GetFlags());
    EXPECT_EQ(0u, a->GetFlags() & (WWindow::HasOnPaint | WWindow::HasOnPostPaint));
    EXPECT_EQ(0u, b->GetFlags() & (WWindow::HasOnPaint | WWindow::HasOnPostPaint));
    EXPECT_EQ(static_cast<uint32_t>(WWindow::HasOnPaint), own->GetFlags() & (WWindow::HasOnPaint | WWindow::HasOnPostPaint));

    ShowWindow(own->hwnd, SW_HIDE);
    ShowWindow(b->hwnd, SW_HIDE);
    rec::Settle();
    InvalidateRect(a->hwnd, nullptr, TRUE);
    UpdateWindow(a->hwnd);
    EXPECT_CALLS("painter.OnEraseBackground(a)", "painter.OnPaint(a, 0, 0, 300, 200)", nullptr);

    ShowWindow(a->hwnd, SW_HIDE);
    ShowWindow(b->hwnd, SW_SHOW);
    rec::Settle();
    RECT part = {10, 20, 30, 40};
    InvalidateRect(b->hwnd, &part, FALSE);
    UpdateWindow(b->hwnd);
    EXPECT_CALLS("postPainter.OnPostPaint(b, 10, 20, 30, 40)", nullptr);
}

TEST_F(WWindowTest, TheFirstTopLevelWindowIsTheMainWindowUntilDestroyed)
{
    auto* first = TopLevel<RecordingFrame>("first");
    auto* second = TopLevel<RecordingFrame>("second");
    EXPECT_EQ(first->hwnd, GetMainWindow());
    first->Destroy();
    EXPECT_EQ(nullptr, GetMainWindow());
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    second->Destroy();
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "only the main window ends the loop";
    auto* third = TopLevel<RecordingFrame>("third");
    EXPECT_EQ(third->hwnd, GetMainWindow());
    EXPECT_EQ(third->hwnd, ExchangeMainWindow(nullptr));
}

TEST_F(WWindowTest, FrameWindowsGetTheArrowCursorUnlessTheyHaveOne)
{
    auto* plain = Frame<RecordingFrame>("plain");
    auto* cross = Make<RecordingFrame>("cross");
    HCURSOR crossCursor = LoadCursorA(nullptr, IDC_CROSS);
    cross->SetCursor(crossCursor);
    cross->CreateFrame(rec::Host(), 310, 0, 100, 100, WS_CHILD | WS_VISIBLE, nullptr, nullptr, nullptr, 0);
    EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), plain->GetCursor());
    EXPECT_EQ(crossCursor, cross->GetCursor());

    // The frame class sets the window's cursor on every mouse move.
    SendMessageA(cross->hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    EXPECT_EQ(crossCursor, GetCursor());
    SendMessageA(plain->hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), GetCursor());
}

COLORREF PixelAfterErase(WFrameWindow* w)
{
    InvalidateRect(w->hwnd, nullptr, TRUE);
    UpdateWindow(w->hwnd);
    HDC dc = GetDC(w->hwnd);
    const COLORREF pixel = GetPixel(dc, 20, 20);
    ReleaseDC(w->hwnd, dc);
    return pixel;
}

TEST_F(WWindowTest, TheBackgroundIsASystemColourAColourOrLeftAlone)
{
    auto* w = Frame<RecordingFrame>("w");
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), PixelAfterErase(w)) << "the default is the window colour";
    w->background = 255;
    EXPECT_EQ(RGB(255, 0, 0), PixelAfterErase(w));
    w->background = BACKGROUND_NONE;
    EXPECT_EQ(RGB(255, 0, 0), PixelAfterErase(w)) << "-1 must leave the old pixels";
    w->background = static_cast<int32_t>(BACKGROUND_SYSTEM_COLOUR | COLOR_WINDOW);
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), PixelAfterErase(w));
    w->background = RGB(0, 0, 255);
    w->eraseResult = 1;  // the handler erased; the default fill must not run
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), PixelAfterErase(w));
    w->eraseResult = 2;
    EXPECT_EQ(RGB(0, 0, 255), PixelAfterErase(w));
    EXPECT_EQ(1, SendMessageA(w->hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(GetDC(nullptr)), 0) != 0);
}

TEST_F(WWindowTest, DeletingTheObjectLeavesTheWindow)
{
    auto* w = new RecordingFrame("w");
    w->CreateFrame(rec::Host(), 0, 0, 50, 50, WS_CHILD, nullptr, nullptr, nullptr, 0);
    HWND window = w->hwnd;
    const WNDPROC previous = w->previousProc;
    delete w;
    EXPECT_TRUE(IsWindow(window));
    // Unbind by hand before the window goes, so no message looks for the deleted object.
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    RemovePropA(window, framework.propertyName);
    ForgetBinding(window);
    DestroyWindow(window);
}

TEST_F(WWindowTest, EveryBoundWindowIsFoundBeyondTheLookupTableAndForgottenWhenDestroyed)
{
    const int before = framework.bindingsInUse;
    std::vector<RecordingFrame*> many;
    for (int i = 0; i < BINDING_TABLE_SIZE + 6; ++i)
        many.push_back(Child<RecordingFrame>("many", Window<RecordingWindow>("p"), i, FRAME_CLASS_NAME));
    for (RecordingFrame* w : many)
        EXPECT_EQ(w, WWindow::FromHandle(w->hwnd));
    EXPECT_EQ(BINDING_TABLE_SIZE, framework.bindingsInUse);
    for (auto it = objects.rbegin(); it != objects.rend(); ++it)
        (*it)->Destroy();
    EXPECT_EQ(before, framework.bindingsInUse);
}

TEST_F(WWindowTest, SetFlagsKeepsTheMaskedBitsAndAddsTheSetOnes)
{
    WWindow w;
    w.flags = WWindow::HoverNotify | WWindow::HasOnPaint;
    w.SetFlags(WWindow::OwnCommand, ~0u);
    EXPECT_EQ(static_cast<uint32_t>(WWindow::HoverNotify | WWindow::HasOnPaint | WWindow::OwnCommand), w.GetFlags());
    w.SetFlags(0, ~static_cast<uint32_t>(WWindow::HoverNotify));
    EXPECT_EQ(static_cast<uint32_t>(WWindow::HasOnPaint | WWindow::OwnCommand), w.GetFlags());
}

TEST_F(WWindowTest, SmallOperationsWithoutAWindow)
{
    WWindow plain;
    WFrameWindow frame;
    EXPECT_EQ(0, plain.Destroy());
    EXPECT_EQ(nullptr, plain.AsFrameWindow());
    EXPECT_EQ(&frame, frame.AsFrameWindow());
    EXPECT_EQ(nullptr, AsFrameWindow(nullptr));
    EXPECT_EQ(nullptr, WWindow::FromHandle(nullptr));
    EXPECT_EQ(nullptr, WWindow::FromHandle(rec::Host())) << "a window this process never bound";
    EXPECT_EQ(0, frame.OnDrag(DRAG_QUERY, &framework.dragState)) << "the default refuses every drag";
    EXPECT_EQ(static_cast<uint32_t>(WWindow::FrameWindow), frame.GetFlags());
}

TEST_F(WWindowTest, ARefusedWindowStillGetsOnCreate)
{
    auto* w = Make<RecordingWindow>("w");
    rec::Settle();
    w->Create(nullptr, "NoSuchClass", 0, 0, 10, 10, WS_POPUP, nullptr, nullptr, nullptr, 0);
    EXPECT_EQ(nullptr, w->hwnd);
    EXPECT_EQ(nullptr, w->previousProc);
    EXPECT_EQ(nullptr, GetMainWindow());
    EXPECT_CALLS("OnCreate(w)", nullptr);
}

}  // namespace
