#pragma once
// Classes in this file: ScopedSelect, ScopedGdiObject (ScopedFont, ScopedRegion, ScopedBrush),
// ScopedPaint.
//
// GDI resources held by scope: what a block takes it gives back when the block ends, whichever
// way it ends. Header-only and free of our other code, so every subsystem can use it.
#include <windows.h>

// An object selected into a DC for the length of a block; the one it replaced goes back.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc(dc), previous(SelectObject(dc, object)) {}
    ~ScopedSelect()
    {
        if (previous != nullptr)
            SelectObject(dc, previous);
    }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC dc;
    HGDIOBJ previous;
};

// A GDI object this code created, deleted when the holder goes.
template <typename Handle>
class ScopedGdiObject {
public:
    explicit ScopedGdiObject(Handle handle = nullptr) : handle(handle) {}
    ~ScopedGdiObject()
    {
        if (handle != nullptr)
            DeleteObject(handle);
    }
    ScopedGdiObject(const ScopedGdiObject&) = delete;
    ScopedGdiObject& operator=(const ScopedGdiObject&) = delete;

    Handle Get() const { return handle; }

private:
    Handle handle;
};
using ScopedFont = ScopedGdiObject<HFONT>;
using ScopedRegion = ScopedGdiObject<HRGN>;
using ScopedBrush = ScopedGdiObject<HBRUSH>;

// BeginPaint and its EndPaint.
class ScopedPaint {
public:
    explicit ScopedPaint(HWND window) : window(window), paint(), dc(BeginPaint(window, &paint)) {}
    ~ScopedPaint() { EndPaint(window, &paint); }
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;

    HWND window;
    PAINTSTRUCT paint;
    HDC dc;
};
