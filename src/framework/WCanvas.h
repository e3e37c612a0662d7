#pragma once
// WCanvas: holds a device context for the length of one painting hook and selects back the
// objects a hook parked in its slots. It never gives the DC back by itself: its users end it
// explicitly (Detach here, Release and End in the two derived canvases).
#include <windows.h>

class WCanvas {
public:
    static constexpr int SLOT_COUNT = 4;
    // The mark of an empty slot: no GDI object has this handle.
    static HGDIOBJ EmptySlot() { return reinterpret_cast<HGDIOBJ>(static_cast<INT_PTR>(-1)); }

    WCanvas();
    WCanvas(const WCanvas&) = delete;
    WCanvas& operator=(const WCanvas&) = delete;
    ~WCanvas() {}

    // Takes `dc`, restoring the objects saved for the DC held before.
    void Attach(HDC dc);
    void Detach() { Attach(nullptr); }
    // Selects every saved object back into the DC, slot 0 first, and empties the slots.
    void RestoreObjects();
    // Selects and realises the process-wide colour cube.
    void RealizeSharedPalette();

    HGDIOBJ savedObjects[SLOT_COUNT];
    HDC hdc;
};

// The process-wide 6x6x6 colour cube, created on first use. A nonzero `release` deletes it
// (the result is then null); the program itself keeps it until it ends.
HPALETTE GetSharedPalette(int release);
