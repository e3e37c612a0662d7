// The entry and the application object: which operations run in which order, the exit-code
// rules, the start-up state, the message pump and the shared timer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ImportHook.h"
#include "framework/FrameworkState.h"
#include "framework/WApp.h"
#include "framework/WFrameWindow.h"

namespace {

std::vector<std::string> calls;

class TestApp : public WApp {
public:
    int PreRun(LPSTR commandLine, int showCommand) override
    {
        calls.push_back("PreRun(" + std::string(commandLine) + ", " + std::to_string(showCommand) + ")");
        SeeStartUpState();
        return preRunResult;
    }
    int PostRun(int exitCode) override
    {
        calls.push_back("PostRun(" + std::to_string(exitCode) + ")");
        return postRunResult.empty() ? WApp::PostRun(exitCode) : std::stoi(postRunResult);
    }
    int Run(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand) override
    {
        calls.push_back("Run(" + std::string(previous == nullptr ? "null" : "?") + ", " + commandLine + ", " +
                        std::to_string(showCommand) + ")");
        runInstance = instance;
        return runResult;
    }
    void SeeStartUpState()
    {
        WNDCLASSA wc;
        classRegistered = GetClassInfoA(GetModuleHandleA(nullptr), FRAME_CLASS_NAME, &wc) != 0;
        classStyle = wc.style;
        classProcedure = classRegistered ? wc.lpfnWndProc : nullptr;
        propertyName = framework.propertyName;
        countdown = framework.dragState.countdown;
        moduleInstance = framework.moduleInstance;
    }

    int preRunResult = 0;
    int runResult = 0;
    std::string postRunResult;  // empty: the default PostRun
    HINSTANCE runInstance = nullptr;
    bool classRegistered = false;
    UINT classStyle = 0;
    WNDPROC classProcedure = nullptr;
    std::string propertyName;
    int32_t countdown = 0;
    HINSTANCE moduleInstance = nullptr;
};

int Enter()
{
    calls.clear();
    char commandLine[] = "/x";
    return AppEntry(GetModuleHandleA(nullptr), nullptr, commandLine, 10);
}

bool FrameClassRegistered()
{
    WNDCLASSA wc;
    return GetClassInfoA(GetModuleHandleA(nullptr), FRAME_CLASS_NAME, &wc) != 0;
}

std::string Calls()
{
    std::string all;
    for (const std::string& c : calls)
        all += c + "; ";
    return all;
}

TEST(AppEntry, RunsTheApplicationBetweenStartUpAndShutDown)
{
    TestApp app;
    app.runResult = 3;
    EXPECT_EQ(3, Enter());
    EXPECT_EQ("PreRun(/x, 10); Run(null, /x, 10); PostRun(3); ", Calls());
    EXPECT_EQ(GetModuleHandleA(nullptr), app.runInstance);

    // What PreRun saw: the class, the property name and the idle drag countdown in place.
    EXPECT_TRUE(app.classRegistered);
    EXPECT_EQ(static_cast<UINT>(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS), app.classStyle);
    EXPECT_EQ(FrameClassProcedure, app.classProcedure);
    char expected[PROPERTY_NAME_SIZE];
    FormatPropertyName(GetCurrentProcessId(), expected);
    EXPECT_EQ(expected, app.propertyName);
    EXPECT_EQ(11u, app.propertyName.size());
    EXPECT_EQ(DRAG_COUNTDOWN_IDLE, app.countdown);
    EXPECT_EQ(GetModuleHandleA(nullptr), app.moduleInstance);

    EXPECT_FALSE(FrameClassRegistered()) << "the class outlives the run";
}

TEST(AppEntry, ExitCodesBelowZeroBecomeZero)
{
    TestApp app;
    app.runResult = -5;
    EXPECT_EQ(0, Enter());
    app.runResult = 0;
    EXPECT_EQ(0, Enter());
    app.runResult = 5;
    app.postRunResult = "-1";
    EXPECT_EQ(0, Enter());
    EXPECT_EQ("PreRun(/x, 10); Run(null, /x, 10); PostRun(5); ", Calls());
}

TEST(AppEntry, PreRunOneLeavesWithPostRunOfZeroUnchanged)
{
    TestApp app;
    app.preRunResult = 1;
    app.runResult = 9;
    EXPECT_EQ(0, Enter());
    EXPECT_EQ("PreRun(/x, 10); PostRun(0); ", Calls());

    // The code of this path is not clamped.
    app.postRunResult = "-7";
    EXPECT_EQ(-7, Enter());
    EXPECT_EQ("PreRun(/x, 10); PostRun(0); ", Calls());
    EXPECT_FALSE(FrameClassRegistered());
}

TEST(AppEntry, AnyOtherPreRunResultRuns)
{
    TestApp app;
    app.runResult = 4;
    for (int preRun : {0, 2, -1, 100}) {
        app.preRunResult = preRun;
        EXPECT_EQ(4, Enter()) << "PreRun " << preRun;
        EXPECT_EQ("PreRun(/x, 10); Run(null, /x, 10); PostRun(4); ", Calls()) << "PreRun " << preRun;
    }
}

TEST(WAppDefaultRun, ReturnsAtOnceWithoutAMainWindow)
{
    WApp app;
    ExchangeMainWindow(nullptr);
    PostThreadMessageA(GetCurrentThreadId(), WM_APP + 3, 0, 0);
    EXPECT_EQ(0, app.Run(GetModuleHandleA(nullptr), nullptr, nullptr, 10));
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_APP + 3, WM_APP + 3, PM_REMOVE)) << "the loop took a message";
}

TEST(WAppDefaultRun, EndsWhenTheMainWindowIsDestroyed)
{
    WApp app;
    StartFramework(GetModuleHandleA(nullptr));
    ExchangeMainWindow(nullptr);
    WFrameWindow window;
    window.CreateFrame(nullptr, 0, 0, 100, 100, WS_POPUP, "main", nullptr, nullptr, 0);
    ASSERT_EQ(window.hwnd, GetMainWindow());
    PostMessageA(window.hwnd, WM_CLOSE, 0, 0);  // the close protocol destroys it; that posts WM_QUIT
    EXPECT_EQ(0, app.Run(GetModuleHandleA(nullptr), nullptr, nullptr, 10));
    EXPECT_EQ(nullptr, window.hwnd);
    EXPECT_EQ(nullptr, GetMainWindow());
    StopFramework(GetModuleHandleA(nullptr));
}

std::vector<UINT> pumped;
LRESULT CALLBACK PumpedWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message >= WM_APP)
        pumped.push_back(message);
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST(PumpMessages, DispatchesUntilEmptyAndStopsAtAQuitThatItDrops)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = PumpedWindowProcedure;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "PumpTest";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, "PumpTest", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, window);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    pumped.clear();
    PostMessageA(window, WM_APP + 1, 0, 0);
    PostMessageA(window, WM_APP + 2, 0, 0);
    PostMessageA(nullptr, WM_QUIT, 0, 0);
    PostMessageA(window, WM_APP + 3, 0, 0);
    PumpMessages();
    EXPECT_EQ((std::vector<UINT>{WM_APP + 1, WM_APP + 2}), pumped) << "dispatched in order up to the quit";
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) << "the quit message should be lost";
    EXPECT_TRUE(PeekMessageA(&msg, window, WM_APP + 3, WM_APP + 3, PM_NOREMOVE)) << "the pump went on past the quit";

    PumpMessages();  // what came after the quit, then an empty queue: returns at once
    EXPECT_EQ((std::vector<UINT>{WM_APP + 1, WM_APP + 2, WM_APP + 3}), pumped);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    DestroyWindow(window);
    UnregisterClassA("PumpTest", GetModuleHandleA(nullptr));
}

int setTimerCalls;
int killTimerCalls;
UINT_PTR lastKilled;
ImportHook* setTimerHook;
ImportHook* killTimerHook;

UINT_PTR WINAPI CountingSetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC procedure)
{
    ++setTimerCalls;
    return setTimerHook->Original<decltype(&SetTimer)>()(window, id, elapse, procedure);
}

BOOL WINAPI CountingKillTimer(HWND window, UINT_PTR id)
{
    ++killTimerCalls;
    lastKilled = id;
    return killTimerHook->Original<decltype(&KillTimer)>()(window, id);
}

TEST(SharedTimer, TwoStartsMakeOneTimerAndRecordTheSecondWindow)
{
    ImportHook set("user32.dll", "SetTimer", reinterpret_cast<void*>(CountingSetTimer));
    ImportHook kill("user32.dll", "KillTimer", reinterpret_cast<void*>(CountingKillTimer));
    ASSERT_TRUE(set.Installed() && kill.Installed());
    setTimerHook = &set;
    killTimerHook = &kill;
    setTimerCalls = killTimerCalls = 0;

    WWindow first, second;
    StartSharedTimer(&first);
    const UINT_PTR id = framework.sharedTimerId;
    EXPECT_NE(0u, id);
    StartSharedTimer(&second);
    EXPECT_EQ(1, setTimerCalls);
    EXPECT_EQ(id, framework.sharedTimerId);
    EXPECT_EQ(&second, GetHoverWindow());

    StopSharedTimer();
    EXPECT_EQ(1, killTimerCalls);
    EXPECT_EQ(id, lastKilled);
    EXPECT_EQ(0u, framework.sharedTimerId);
    EXPECT_EQ(nullptr, GetHoverWindow());
    StopSharedTimer();
    EXPECT_EQ(1, killTimerCalls) << "a stopped timer is not killed again";
}

TEST(SharedTimer, TheApplicationKillsARunningTimerWhenItGoes)
{
    ImportHook kill("user32.dll", "KillTimer", reinterpret_cast<void*>(CountingKillTimer));
    ImportHook set("user32.dll", "SetTimer", reinterpret_cast<void*>(CountingSetTimer));
    setTimerHook = &set;
    killTimerHook = &kill;
    killTimerCalls = 0;
    {
        WApp app;
        WWindow window;
        StartSharedTimer(&window);
        framework.hoverWindow = nullptr;
    }
    EXPECT_EQ(1, killTimerCalls);
    framework.sharedTimerId = 0;
    {
        WApp app;
    }
    EXPECT_EQ(1, killTimerCalls) << "no timer, nothing to kill";
}

}  // namespace
