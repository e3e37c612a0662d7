#pragma once
// WPaintCanvas: a canvas over the DC of BeginPaint; End restores and ends the painting.
#include "framework/WCanvas.h"

class WPaintCanvas : public WCanvas {
public:
    // Begins painting the window; with `realize` nonzero the shared palette is selected and realised.
    WPaintCanvas(HWND window, int realize);
    // A canvas that still holds its DC was never ended: a debug build says so (the window would
    // stay invalid and be painted again and again).
    ~WPaintCanvas();
    // Restores the saved objects and ends the painting.
    void End();

    HWND hwnd;
    PAINTSTRUCT paint;
};
