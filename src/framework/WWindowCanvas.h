#pragma once
// WWindowCanvas: a canvas over a window's DC from GetDC; Release gives the DC back.
#include "framework/WCanvas.h"

class WWindowCanvas : public WCanvas {
public:
    // Takes the window's DC; with `realize` nonzero the shared palette is selected and realised.
    WWindowCanvas(HWND window, int realize);
    // A canvas that still holds its DC was never released: a debug build says so.
    ~WWindowCanvas();
    // Restores the saved objects and releases the DC.
    void Release();

    HWND hwnd;
};
