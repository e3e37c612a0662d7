// Canvases and the shared palette: what is selected back, what is given back, and the cube.
#include "FrameworkFixture.h"
#include "ImportHook.h"

#include <utility>

namespace {

class WCanvasTest : public FrameworkTest {};

std::vector<std::pair<HDC, HGDIOBJ>> selected;
ImportHook* selectHook;

HGDIOBJ WINAPI RecordingSelectObject(HDC dc, HGDIOBJ object)
{
    selected.emplace_back(dc, object);
    return selectHook->Original<decltype(&SelectObject)>()(dc, object);
}

struct SelectObjectRecorder {
    SelectObjectRecorder() : hook("gdi32.dll", "SelectObject", reinterpret_cast<void*>(RecordingSelectObject))
    {
        selectHook = &hook;
        selected.clear();
    }
    ImportHook hook;
};

TEST_F(WCanvasTest, EmptySlotsSelectNothing)
{
    HDC dc = GetDC(rec::Host());
    SelectObjectRecorder recorder;
    ASSERT_TRUE(recorder.hook.Installed());
    WCanvas canvas;
    canvas.Attach(dc);
    canvas.Detach();
    EXPECT_EQ(0u, selected.size());
    EXPECT_EQ(nullptr, canvas.hdc);

    // One parked object goes back, and only that one.
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
    canvas.Attach(dc);
    HGDIOBJ old = SelectObject(dc, pen);
    selected.clear();
    canvas.savedObjects[2] = old;
    canvas.Detach();
    ASSERT_EQ(1u, selected.size());
    EXPECT_EQ(dc, selected[0].first);
    EXPECT_EQ(old, selected[0].second);
    EXPECT_EQ(old, GetCurrentObject(dc, OBJ_PEN));
    for (HGDIOBJ slot : canvas.savedObjects)
        EXPECT_EQ(WCanvas::EmptySlot(), slot);
    DeleteObject(pen);
    ReleaseDC(rec::Host(), dc);
}

TEST_F(WCanvasTest, AttachRestoresTheOldDcFirst)
{
    HDC first = CreateCompatibleDC(nullptr);
    HDC second = CreateCompatibleDC(nullptr);
    HBRUSH brush = CreateSolidBrush(RGB(9, 9, 9));
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
    WCanvas canvas;
    canvas.Attach(first);
    canvas.savedObjects[0] = SelectObject(first, brush);
    canvas.savedObjects[3] = SelectObject(first, pen);
    SelectObjectRecorder recorder;
    canvas.Attach(second);
    ASSERT_EQ(2u, selected.size());
    EXPECT_EQ(first, selected[0].first) << "slot 0 first, into the old DC";
    EXPECT_EQ(GetStockObject(WHITE_BRUSH), selected[0].second);
    EXPECT_EQ(first, selected[1].first);
    EXPECT_EQ(GetStockObject(BLACK_PEN), selected[1].second);
    EXPECT_EQ(second, canvas.hdc);
    canvas.Detach();
    DeleteDC(first);
    DeleteDC(second);
    DeleteObject(brush);
    DeleteObject(pen);
}

int createPaletteCalls;
ImportHook* createPaletteHook;

HPALETTE WINAPI CountingCreatePalette(const LOGPALETTE* description)
{
    ++createPaletteCalls;
    return createPaletteHook->Original<decltype(&CreatePalette)>()(description);
}

TEST_F(WCanvasTest, PaintsShareOnePaletteCreatedOnce)
{
    ImportHook hook("gdi32.dll", "CreatePalette", reinterpret_cast<void*>(CountingCreatePalette));
    ASSERT_TRUE(hook.Installed());
    createPaletteHook = &hook;
    GetSharedPalette(1);  // start as a fresh process would
    createPaletteCalls = 0;

    auto* a = Frame<Painting<WFrameWindow>>("a");
    auto* b = Frame<PostPainting<WFrameWindow>>("b");
    std::vector<HGDIOBJ> palettes;
    a->paintHook = [&](WPaintCanvas* canvas) { palettes.push_back(GetCurrentObject(canvas->hdc, OBJ_PAL)); };
    b->paintHook = [&](WWindowCanvas* canvas) { palettes.push_back(GetCurrentObject(canvas->hdc, OBJ_PAL)); };
    for (int i = 0; i < 2; ++i) {
        InvalidateRect(a->hwnd, nullptr, FALSE);
        UpdateWindow(a->hwnd);
        InvalidateRect(b->hwnd, nullptr, FALSE);
        UpdateWindow(b->hwnd);
    }
    EXPECT_EQ(1, createPaletteCalls);
    ASSERT_EQ(4u, palettes.size());
    for (HGDIOBJ palette : palettes)
        EXPECT_EQ(GetSharedPalette(0), palette);
    EXPECT_EQ(1, createPaletteCalls);
}

TEST_F(WCanvasTest, ThePaletteIsTheSixLevelColourCube)
{
    HPALETTE palette = GetSharedPalette(0);
    ASSERT_NE(nullptr, palette);
    EXPECT_EQ(216u, GetPaletteEntries(palette, 0, 0, nullptr));
    static const struct {
        UINT index;
        BYTE red, green, blue;
    } cases[] = {
        {0, 0, 0, 0}, {1, 0, 0, 51}, {6, 0, 51, 0}, {36, 51, 0, 0}, {180, 255, 0, 0}, {215, 255, 255, 255},
    };
    for (const auto& c : cases) {
        PALETTEENTRY e = {};
        ASSERT_EQ(1u, GetPaletteEntries(palette, c.index, 1, &e));
        EXPECT_EQ(c.red, e.peRed) << "entry " << c.index;
        EXPECT_EQ(c.green, e.peGreen) << "entry " << c.index;
        EXPECT_EQ(c.blue, e.peBlue) << "entry " << c.index;
        EXPECT_EQ(0, e.peFlags) << "entry " << c.index;
    }
}

TEST_F(WCanvasTest, PostPaintingIsClippedToTheUpdateRectangle)
{
    auto* w = Frame<PostPainting<WFrameWindow>>("w");
    w->background = RGB(255, 255, 255);
    InvalidateRect(w->hwnd, nullptr, TRUE);
    UpdateWindow(w->hwnd);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    w->paintHook = [&](WWindowCanvas* canvas) {
        RECT all = {0, 0, 300, 200};
        FillRect(canvas->hdc, &all, red);
    };
    RECT part = {10, 10, 20, 20};
    InvalidateRect(w->hwnd, &part, FALSE);
    UpdateWindow(w->hwnd);
    HDC dc = GetDC(w->hwnd);
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc, 15, 15));
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(dc, 25, 15)) << "the hook painted outside the update rectangle";
    ReleaseDC(w->hwnd, dc);
    DeleteObject(red);
}

// Counts of every DC taken and given back, and of every GDI object created and deleted, while
// painting. (Wine's GetGuiResources always answers 0, so the objects are counted here.)
struct Balance {
    int getDc, releaseDc, beginPaint, endPaint, created, deleted;
} balance;
ImportHook* hooks[7];

HDC WINAPI CountGetDC(HWND w) { ++balance.getDc; return hooks[0]->Original<decltype(&GetDC)>()(w); }
int WINAPI CountReleaseDC(HWND w, HDC dc) { ++balance.releaseDc; return hooks[1]->Original<decltype(&ReleaseDC)>()(w, dc); }
HDC WINAPI CountBeginPaint(HWND w, PAINTSTRUCT* ps)
{
    ++balance.beginPaint;
    return hooks[2]->Original<decltype(&BeginPaint)>()(w, ps);
}
BOOL WINAPI CountEndPaint(HWND w, const PAINTSTRUCT* ps)
{
    ++balance.endPaint;
    return hooks[3]->Original<decltype(&EndPaint)>()(w, ps);
}
HRGN WINAPI CountCreateRectRgnIndirect(const RECT* r)
{
    ++balance.created;
    return hooks[4]->Original<decltype(&CreateRectRgnIndirect)>()(r);
}
HBRUSH WINAPI CountCreateSolidBrush(COLORREF colour)
{
    ++balance.created;
    return hooks[5]->Original<decltype(&CreateSolidBrush)>()(colour);
}
BOOL WINAPI CountDeleteObject(HGDIOBJ o)
{
    const BOOL deleted = hooks[6]->Original<decltype(&DeleteObject)>()(o);
    balance.deleted += deleted ? 1 : 0;
    return deleted;
}

TEST_F(WCanvasTest, TenThousandPaintsGiveBackEveryDcAndObject)
{
    auto* own = Frame<Painting<WFrameWindow>>("own");
    auto* post = Frame<PostPainting<WFrameWindow>>("post");
    own->background = post->background = RGB(0, 0, 128);  // erasing makes a brush each time
    // The hooks draw, so a canvas whose DC was not valid would show as a failed fill.
    int fillFailures = 0;
    HBRUSH brush = CreateSolidBrush(RGB(0, 128, 0));
    RECT spot = {0, 0, 8, 8};
    own->paintHook = [&](WPaintCanvas* c) { fillFailures += FillRect(c->hdc, &spot, brush) ? 0 : 1; };
    post->paintHook = [&](WWindowCanvas* c) { fillFailures += FillRect(c->hdc, &spot, brush) ? 0 : 1; };
    rec::Settle();

    ImportHook h0("user32.dll", "GetDC", reinterpret_cast<void*>(CountGetDC));
    ImportHook h1("user32.dll", "ReleaseDC", reinterpret_cast<void*>(CountReleaseDC));
    ImportHook h2("user32.dll", "BeginPaint", reinterpret_cast<void*>(CountBeginPaint));
    ImportHook h3("user32.dll", "EndPaint", reinterpret_cast<void*>(CountEndPaint));
    ImportHook h4("gdi32.dll", "CreateRectRgnIndirect", reinterpret_cast<void*>(CountCreateRectRgnIndirect));
    ImportHook h5("gdi32.dll", "CreateSolidBrush", reinterpret_cast<void*>(CountCreateSolidBrush));
    ImportHook h6("gdi32.dll", "DeleteObject", reinterpret_cast<void*>(CountDeleteObject));
    hooks[0] = &h0, hooks[1] = &h1, hooks[2] = &h2, hooks[3] = &h3, hooks[4] = &h4, hooks[5] = &h5, hooks[6] = &h6;
    for (ImportHook* h : hooks)
        ASSERT_TRUE(h->Installed());
    balance = {};

    const int paints = 10000;
    for (int i = 0; i < paints / 2; ++i) {
        InvalidateRect(own->hwnd, &spot, TRUE);
        UpdateWindow(own->hwnd);
        InvalidateRect(post->hwnd, &spot, TRUE);
        UpdateWindow(post->hwnd);
    }
    rec::Log().clear();

    EXPECT_EQ(0, fillFailures);
    EXPECT_EQ(paints / 2, balance.getDc);
    EXPECT_EQ(balance.getDc, balance.releaseDc);
    EXPECT_EQ(paints, balance.beginPaint);  // the frame class paints the post-painted window with BeginPaint
    EXPECT_EQ(balance.beginPaint, balance.endPaint);
    EXPECT_EQ(paints / 2 + paints, balance.created) << "a clip region per post-paint, a brush per erase";
    EXPECT_EQ(balance.created, balance.deleted);
    DeleteObject(brush);
}

// End and Release select back what a hook parked in the canvas's slots before they give the DC up.
TEST_F(WCanvasTest, EndAndReleaseRestoreAParkedObject)
{
    auto* own = Frame<Painting<WFrameWindow>>("own");
    auto* post = Frame<PostPainting<WFrameWindow>>("post");
    HPEN pen = CreatePen(PS_SOLID, 3, RGB(1, 2, 3));
    HGDIOBJ parkedPaint = nullptr, parkedPost = nullptr;
    own->paintHook = [&](WPaintCanvas* c) { parkedPaint = c->savedObjects[1] = SelectObject(c->hdc, pen); };
    post->paintHook = [&](WWindowCanvas* c) { parkedPost = c->savedObjects[1] = SelectObject(c->hdc, pen); };
    rec::Settle();
    SelectObjectRecorder recorder;
    InvalidateRect(own->hwnd, nullptr, FALSE);
    UpdateWindow(own->hwnd);
    InvalidateRect(post->hwnd, nullptr, FALSE);
    UpdateWindow(post->hwnd);
    int restored = 0;
    for (const auto& s : selected)
        restored += (s.second == parkedPaint || s.second == parkedPost) ? 1 : 0;
    EXPECT_NE(nullptr, parkedPaint);
    EXPECT_EQ(2, restored) << "each canvas selects its parked pen back once";
    DeleteObject(pen);
}

}  // namespace
