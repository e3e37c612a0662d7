// The progress window as the user sees it: placement, styles, synchronous repaints and pixels.
#include <gtest/gtest.h>

#include <string>

#include "framework/ImportHook.h"
#include "framework/WApp.h"
#include "framework/WPaintCanvas.h"
#include "installer/WProgressWindow.h"

namespace {
class FrameworkEnvironment : public testing::Environment {
public:
    void SetUp() override { StartFramework(GetModuleHandleA(nullptr)); }
    void TearDown() override { StopFramework(GetModuleHandleA(nullptr)); }
};
testing::Environment* const kFramework = testing::AddGlobalTestEnvironment(new FrameworkEnvironment);

// Counts the paints, so a test sees whether SetStep painted before it returned.
class CountingProgressWindow : public WProgressWindow {
public:
    void OnPaint(WWindow* window, WPaintCanvas* canvas, const RECT* update) override
    {
        ++paints;
        WProgressWindow::OnPaint(window, canvas, update);
    }
    int paints = 0;
};

class ProgressWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        progress.CreateHidden();
        ASSERT_NE(nullptr, progress.hwnd);
    }
    void TearDown() override
    {
        progress.Destroy();
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    void ShowAndSettle()
    {
        ShowWindow(progress.hwnd, SW_SHOW);
        UpdateWindow(progress.hwnd);
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&m);
    }
    // Whether any pixel of the client rectangle [left, right) x [top, bottom) differs from the
    // window colour.
    bool Inked(int left, int top, int right, int bottom)
    {
        const HDC dc = GetDC(progress.hwnd);
        const COLORREF background = GetSysColor(COLOR_WINDOW);
        bool inked = false;
        for (int y = top; y < bottom && !inked; ++y)
            for (int x = left; x < right && !inked; ++x)
                inked = GetPixel(dc, x, y) != background;
        ReleaseDC(progress.hwnd, dc);
        return inked;
    }
    CountingProgressWindow progress;
};
}  // namespace

TEST_F(ProgressWindowTest, CreatedHiddenAndCentredWithItsStyles)
{
    EXPECT_FALSE(IsWindowVisible(progress.hwnd));
    char text[64];
    GetClassNameA(progress.hwnd, text, sizeof text);
    EXPECT_STREQ("ZEB_WL_FRAME", text);
    GetWindowTextA(progress.hwnd, text, sizeof text);
    EXPECT_STREQ("KESTRAND Install - Progress", text);
    const LONG ex = GetWindowLongA(progress.hwnd, GWL_EXSTYLE);
    EXPECT_EQ(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_APPWINDOW,
              ex & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_APPWINDOW));
    const LONG style = GetWindowLongA(progress.hwnd, GWL_STYLE);
    EXPECT_TRUE(style & WS_BORDER);
    EXPECT_FALSE(style & (WS_CHILD | WS_POPUP));
    EXPECT_EQ(nullptr, GetParent(progress.hwnd));
    EXPECT_STREQ("", progress.stepText);

    RECT r;
    GetWindowRect(progress.hwnd, &r);
    const int sx = GetSystemMetrics(SM_CXSCREEN), sy = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(200, r.right - r.left);
    EXPECT_EQ(50, r.bottom - r.top);
    EXPECT_EQ((sx - 200) / 2, r.left);
    EXPECT_EQ((sy - 50) / 2, r.top);
    if (sx == 1024 && sy == 768) {
        EXPECT_EQ(412, r.left);
        EXPECT_EQ(359, r.top);
    }
}

TEST_F(ProgressWindowTest, SetStepWhileHiddenOnlyChangesTheTextAndShowDrawsIt)
{
    progress.SetStep("Checking disk access");
    progress.SetStep("Retrieving disk info");
    EXPECT_EQ(0, progress.paints);
    EXPECT_STREQ("Retrieving disk info", progress.stepText);
    // No message loop runs between Show and the checks: the step must be on the screen already.
    progress.Show();
    EXPECT_TRUE(IsWindowVisible(progress.hwnd));
    EXPECT_EQ(1, progress.paints);
    EXPECT_FALSE(GetUpdateRect(progress.hwnd, nullptr, FALSE)) << "left for a message loop to paint";
    EXPECT_TRUE(Inked(8, 8, 40, 20)) << "no text drawn";
    EXPECT_STREQ("Retrieving disk info", progress.stepText);
}

TEST_F(ProgressWindowTest, SetStepRepaintsAVisibleWindowBeforeReturning)
{
    ShowAndSettle();
    const int before = progress.paints;
    progress.SetStep("Writing boot sector");  // no message loop runs between here and the check
    EXPECT_EQ(before + 1, progress.paints);
    EXPECT_STREQ("Writing boot sector", progress.stepText);
}

TEST_F(ProgressWindowTest, StepTextKeepsAtMost127Characters)
{
    const std::string longText(300, 'x');
    progress.SetStep(longText.c_str());
    EXPECT_EQ(std::string(127, 'x'), progress.stepText);
}

TEST_F(ProgressWindowTest, FrameAndOneLineOfTextCutAtTheFrame)
{
    ShowAndSettle();
    RECT c;
    GetClientRect(progress.hwnd, &c);
    const int w = c.right, h = c.bottom;
    ASSERT_GT(w, 20);
    ASSERT_GT(h, 12);

    progress.SetStep("Done.");
    // The frame runs 4 pixels inside the client edges; nothing is drawn outside it.
    EXPECT_TRUE(Inked(4, 4, 5, 5));
    EXPECT_TRUE(Inked(w - 4, h / 2, w - 3, h / 2 + 1));
    EXPECT_TRUE(Inked(w / 2, h - 4, w / 2 + 1, h - 3));
    EXPECT_FALSE(Inked(0, 0, w, 4));
    EXPECT_FALSE(Inked(0, 0, 4, h));
    EXPECT_FALSE(Inked(w - 3, 0, w, h));
    EXPECT_FALSE(Inked(0, h - 3, w, h));
    // A short text leaves the right part of the line empty...
    EXPECT_FALSE(Inked(w - 14, 6, w - 4, h - 4));

    // ...a long one runs up to the frame and stops there: one line, not broken after "Copying".
    progress.SetStep("Copying averyveryverylongnamethatcannotfitintothisprogresswindow.dat");
    EXPECT_TRUE(Inked(w - 14, 6, w - 4, h - 4));
    EXPECT_FALSE(Inked(w - 3, 0, w, h));
    EXPECT_FALSE(Inked(0, h - 3, w, h));
}

namespace {
int ghostingDisabled = 0;
void WINAPI FakeDisableGhosting() { ++ghostingDisabled; }
ImportHook* getProcHook = nullptr;
FARPROC WINAPI RecordingGetProcAddress(HMODULE module, LPCSTR name)
{
    if (!IS_INTRESOURCE(name) && lstrcmpA(name, "DisableProcessWindowsGhosting") == 0)
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&FakeDisableGhosting));
    return getProcHook->Original<FARPROC(WINAPI*)(HMODULE, LPCSTR)>()(module, name);
}
}  // namespace

// The window is never ghosted as "Not Responding" while the copies run without a message loop:
// ghosting is turned off for the process, through GetProcAddress as Windows before Vista lacks it.
TEST(ProgressWindowGhosting, TurnedOffWhenTheWindowIsMade)
{
    ImportHook hook("kernel32.dll", "GetProcAddress", reinterpret_cast<void*>(&RecordingGetProcAddress));
    ASSERT_TRUE(hook.Installed());
    getProcHook = &hook;
    ghostingDisabled = 0;
    WProgressWindow progress;
    progress.CreateHidden();
    EXPECT_EQ(1, ghostingDisabled);
    progress.Destroy();
    getProcHook = nullptr;
}
