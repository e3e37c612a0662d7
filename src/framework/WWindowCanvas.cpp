#include "framework/WWindowCanvas.h"

WWindowCanvas::WWindowCanvas(HWND window, int realize) : hwnd(window)
{
    hdc = GetDC(hwnd);
    if (realize)
        RealizeSharedPalette();
}

void WWindowCanvas::Release()
{
    RestoreObjects();
    ReleaseDC(hwnd, hdc);
    hdc = nullptr;
}
