#include "framework/FrameworkState.h"

#include "framework/WWindow.h"

FrameworkState framework;
WWindow referenceWindow;

HWND ExchangeMainWindow(HWND window)
{
    const HWND old = framework.mainWindow;
    framework.mainWindow = window;
    return old;
}

void StartSharedTimer(WWindow* window)
{
    if (framework.sharedTimerId == 0)
        framework.sharedTimerId = SetTimer(nullptr, 0, 100, SharedTimerProc);
    framework.hoverWindow = window;
}

void StopSharedTimer()
{
    if (framework.sharedTimerId != 0)
        KillTimer(nullptr, framework.sharedTimerId);
    framework.sharedTimerId = 0;
    framework.hoverWindow = nullptr;
}

void PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            return;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
