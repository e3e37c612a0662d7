#include "framework/WWindowCanvas.h"

WWindowCanvas::WWindowCanvas(HWND window, int realize) : hwnd(window)
{
    hdc = GetDC(hwnd);
    if (realize)
        RealizeSharedPalette();
}

WWindowCanvas::~WWindowCanvas()
{
#ifndef NDEBUG
    if (hdc != nullptr)
        MessageBoxA(nullptr, "DC was not released properly", "Error WWindowCanvas", MB_OK | MB_ICONEXCLAMATION);
#endif
}

void WWindowCanvas::Release()
{
    RestoreObjects();
    ReleaseDC(hwnd, hdc);
    hdc = nullptr;
}
