#include "framework/WPaintCanvas.h"

WPaintCanvas::WPaintCanvas(HWND window, int realize) : hwnd(window), paint()
{
    hdc = BeginPaint(hwnd, &paint);
    if (realize)
        RealizeSharedPalette();
}

WPaintCanvas::~WPaintCanvas()
{
#ifndef NDEBUG
    if (hdc != nullptr)
        MessageBoxA(nullptr, "Painting was not ended properly", "Error WPaintCanvas", MB_OK | MB_ICONEXCLAMATION);
#endif
}

void WPaintCanvas::End()
{
    RestoreObjects();
    EndPaint(hwnd, &paint);
    hdc = nullptr;
}
