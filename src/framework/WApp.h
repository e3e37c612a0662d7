#pragma once
// WApp: the application object, and the entry that runs it.
#include <windows.h>

// The framework's own window class, registered for the whole run.
constexpr const char FRAME_CLASS_NAME[] = "ZEB_WL_FRAME";

class WApp {
public:
    // Records the object as the application that the entry runs.
    WApp();
    WApp(const WApp&) = delete;
    WApp& operator=(const WApp&) = delete;

    // 1 = leave at once without running; any other value = go on. Default 0.
    virtual int PreRun(LPSTR commandLine, int showCommand);
    // Returns the exit code to use. Default: `exitCode` unchanged.
    virtual int PostRun(int exitCode);
    // Returns the exit code. Default: the blocking message loop, which returns 0.
    virtual int Run(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);

    // Kills the shared timer if one is still recorded.
    virtual ~WApp();
};

// Start-up shared by the entry and by programs that host framework windows without it: COM,
// the frame class and the property name. StopFramework undoes the first two.
void StartFramework(HINSTANCE instance);
void StopFramework(HINSTANCE instance);

// The body of WinMain: runs the recorded application and returns the process exit code.
int AppEntry(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);
