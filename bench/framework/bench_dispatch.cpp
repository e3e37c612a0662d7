// Messages per second through the common window procedure for a frame window with default
// slots, against a floor measured in the same run: the same messages sent to a bare window
// whose procedure only calls DefWindowProcA.
#include <windows.h>

#include <cstdio>

#include "framework/FrameworkState.h"
#include "framework/WApp.h"
#include "framework/WFrameWindow.h"

namespace {

LRESULT CALLBACK BareProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

double Seconds()
{
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Messages per second of one round.
double Rate(HWND window, UINT message, LPARAM lParam, int count)
{
    const double start = Seconds();
    for (int i = 0; i < count; ++i)
        SendMessageA(window, message, 0, lParam);
    return count / (Seconds() - start);
}

// The best rounds of the floor and of the framework, taken alternately so that both see the same
// load from whatever else runs on the machine.
void BestRates(HWND floorWindow, HWND window, UINT message, LPARAM lParam, int count, double* floor, double* framed)
{
    *floor = *framed = 0;
    for (int round = 0; round < 9; ++round) {
        const double f = Rate(floorWindow, message, lParam, count);
        const double w = Rate(window, message, lParam, count);
        if (f > *floor)
            *floor = f;
        if (w > *framed)
            *framed = w;
    }
}

}  // namespace

int main()
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    StartFramework(instance);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = BareProcedure;
    wc.hInstance = instance;
    wc.lpszClassName = "BenchBare";
    RegisterClassA(&wc);

    // Hidden windows: the messages are sent, so nothing needs to be on the screen.
    HWND bare = CreateWindowExA(0, "BenchBare", "", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, instance, nullptr);
    WFrameWindow frame;
    frame.CreateFrame(nullptr, 0, 0, 200, 200, WS_POPUP, "", nullptr, nullptr, 0);
    // The dispatcher alone: a framework window over the bare class, so the frame class's
    // cursor work (a server round trip per SetCursor under Wine) is not in the figure.
    WWindow plain;
    plain.Create(nullptr, "BenchBare", 0, 0, 200, 200, WS_POPUP, "", nullptr, nullptr, 0);

    const int count = 50000;
    static const struct {
        const char* name;
        UINT message;
        LPARAM lParam;
        bool frameClass;
    } cases[] = {
        {"frame window, WM_MOUSEMOVE", WM_MOUSEMOVE, MAKELPARAM(20, 30), true},
        {"frame window, WM_APP (no row)", WM_APP + 7, 0, true},
        {"bare class, WM_MOUSEMOVE", WM_MOUSEMOVE, MAKELPARAM(20, 30), false},
        {"bare class, WM_APP (no row)", WM_APP + 7, 0, false},
    };
    printf("%-30s %12s %12s %8s\n", "window and message", "floor msg/s", "framework", "ratio");
    for (const auto& c : cases) {
        HWND window = c.frameClass ? frame.hwnd : plain.hwnd;
        double floor, framed;
        BestRates(bare, window, c.message, c.lParam, count / 10, &floor, &framed);  // warm-up
        BestRates(bare, window, c.message, c.lParam, count, &floor, &framed);
        printf("%-30s %12.0f %12.0f %7.2fx  (target at most 1.50x)\n", c.name, floor, framed, floor / framed);
    }

    plain.Destroy();
    frame.Destroy();
    DestroyWindow(bare);
    StopFramework(instance);
    return 0;
}
