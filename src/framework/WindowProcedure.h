#pragma once
// The one window procedure of every framework window: it finds the window's object, offers each
// message to its FilterMessage, calls the handler's slots, and leaves the rest to the procedure
// it replaced.
#include <windows.h>

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
