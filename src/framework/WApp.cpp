#include "framework/WApp.h"

#include <objbase.h>

#include "framework/FrameworkState.h"
#include "framework/WFrameWindow.h"

WApp::WApp()
{
    framework.currentApp = this;
}

WApp::~WApp()
{
    if (framework.sharedTimerId != 0)
        KillTimer(nullptr, framework.sharedTimerId);
    // A later entry must not run an object that no longer exists.
    if (framework.currentApp == this)
        framework.currentApp = nullptr;
}

int WApp::PreRun(LPSTR, int)
{
    return 0;
}

int WApp::PostRun(int exitCode)
{
    return exitCode;
}

int WApp::Run(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // Without a main window nothing would ever post the quit message.
    if (framework.mainWindow == nullptr)
        return 0;
    MSG msg;
    for (;;) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0)
            break;
        if (got == -1)
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

void StartFramework(HINSTANCE instance)
{
    CoInitialize(nullptr);
    framework.dragState.countdown = DRAG_COUNTDOWN_IDLE;
    framework.moduleInstance = instance;

    WNDCLASSA wc = {};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = FrameClassProcedure;
    wc.hInstance = instance;
    wc.lpszClassName = FRAME_CLASS_NAME;
    RegisterClassA(&wc);  // a failure shows later as windows that cannot be created

    FormatPropertyName(GetCurrentProcessId(), framework.propertyName);
}

void StopFramework(HINSTANCE instance)
{
    UnregisterClassA(FRAME_CLASS_NAME, instance);
    CoUninitialize();
}

int AppEntry(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand)
{
    StartFramework(instance);
    WApp* app = framework.currentApp;
    if (app->PreRun(commandLine, showCommand) == 1) {
        const int code = app->PostRun(0);
        StopFramework(instance);
        return code;
    }
    const int code = app->PostRun(app->Run(instance, previous, commandLine, showCommand));
    StopFramework(instance);
    return code > 0 ? code : 0;
}
