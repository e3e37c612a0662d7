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

void RememberBinding(HWND window, WWindow* object)
{
    if (window == nullptr)
        return;
    for (int i = 0; i < BINDING_TABLE_SIZE; ++i) {
        WindowBinding& b = framework.bindings[i];
        if (b.window == nullptr || b.window == window) {
            b.window = window;
            b.object = object;
            if (i >= framework.bindingsInUse)
                framework.bindingsInUse = i + 1;
            return;
        }
    }
}

void ForgetBinding(HWND window)
{
    for (int i = 0; i < framework.bindingsInUse; ++i) {
        if (framework.bindings[i].window == window)
            framework.bindings[i] = WindowBinding{nullptr, nullptr};
    }
    while (framework.bindingsInUse > 0 && framework.bindings[framework.bindingsInUse - 1].window == nullptr)
        --framework.bindingsInUse;
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
