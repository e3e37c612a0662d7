#pragma once
// The framework's process-wide state. There is one GUI thread, so nothing here is locked; every
// framework file reads and writes the one `framework` record declared below.
#include <windows.h>
#include <cstdint>
#include "framework/DragState.h"
#include "framework/rules/PropertyName.h"

class WApp;
class WWindow;

// A bound window and its object, as held in the lookup table below.
struct WindowBinding {
    HWND window;
    WWindow* object;
};
constexpr int BINDING_TABLE_SIZE = 64;

struct FrameworkState {
    WApp* currentApp;                      // set by the WApp constructor
    HINSTANCE moduleInstance;              // recorded by the entry; windows are created with it
    HWND mainWindow;                       // first top-level framework window; its end ends the loop
    char propertyName[PROPERTY_NAME_SIZE]; // binds every framework window to its object
    UINT_PTR sharedTimerId;                // the 100 ms thread timer; 0 = not running
    WWindow* hoverWindow;                  // framework window under the mouse
    DragState dragState;
    int16_t hoverThreshold;                // pixels the mouse may wander and still rest
    HPALETTE sharedPalette;                // the colour cube of every painting canvas; made once

    // Mouse tracking, kept by the dispatcher and the shared timer.
    POINT hoverPoint;                      // where the mouse last came to rest (client coordinates)
    int16_t hoverCountdown;                // ticks until the hover report; 0 = shown or none pending
    POINT pressPoint;                      // client position of the last left press on a frame window
    int32_t pressHeld;                     // 1 while the press stays within the drag threshold

    // Every message looks its window's object up, and the window property costs a round trip to
    // the window server under Wine. So bound windows are also held here, from Create until their
    // WM_NCDESTROY; windows beyond the table's size are found through the property alone.
    WindowBinding bindings[BINDING_TABLE_SIZE];
    int bindingsInUse;                     // slots at and above this index are all empty
};

// Zero before start-up (static storage), so it is usable from any static constructor.
extern FrameworkState framework;

// Never created as a window: its slot implementations are the measure of what a handler overrides.
extern WWindow referenceWindow;

// Accessors for window code that should not reach into the record directly.
inline HINSTANCE GetModuleInstance() { return framework.moduleInstance; }
inline HWND GetMainWindow() { return framework.mainWindow; }
inline WWindow* GetHoverWindow() { return framework.hoverWindow; }
inline bool DragActive() { return framework.dragState.mode != DRAGMODE_NONE; }
HWND ExchangeMainWindow(HWND window);  // stores the new handle, returns the old one

// The binding table: Create remembers, the dispatcher forgets at WM_NCDESTROY; null when the
// window is not held (which does not mean it is unbound).
void RememberBinding(HWND window, WWindow* object);
void ForgetBinding(HWND window);
inline WWindow* FindBinding(HWND window)
{
    for (int i = 0; i < framework.bindingsInUse; ++i) {
        if (framework.bindings[i].window == window)
            return framework.bindings[i].object;
    }
    return nullptr;
}

// The shared timer: one process-wide thread timer, however many windows ask for it.
void StartSharedTimer(WWindow* window);
void StopSharedTimer();

// Timer procedure of the shared timer; hover and drag detection live there.
void CALLBACK SharedTimerProc(HWND, UINT, UINT_PTR, DWORD);

// Dispatches waiting messages of this thread and returns when the queue is empty. A WM_QUIT met
// on the way is consumed and dropped.
void PumpMessages();
