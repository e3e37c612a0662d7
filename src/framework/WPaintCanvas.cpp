#include "framework/WPaintCanvas.h"

WPaintCanvas::WPaintCanvas(HWND window, int realize) : hwnd(window), paint()
{
    hdc = BeginPaint(hwnd, &paint);
    if (realize)
        RealizeSharedPalette();
}

void WPaintCanvas::End()
{
    RestoreObjects();
    EndPaint(hwnd, &paint);
    hdc = nullptr;
}
