#include "framework/WCanvas.h"

#include <cstdlib>

#include "framework/FrameworkState.h"

WCanvas::WCanvas() : hdc(nullptr)
{
    for (HGDIOBJ& slot : savedObjects)
        slot = EmptySlot();
}

void WCanvas::Attach(HDC dc)
{
    if (hdc != nullptr)
        RestoreObjects();
    hdc = dc;
}

void WCanvas::RestoreObjects()
{
    for (HGDIOBJ& slot : savedObjects) {
        if (slot != EmptySlot())
            SelectObject(hdc, slot);
        slot = EmptySlot();
    }
}

void WCanvas::RealizeSharedPalette()
{
    SelectPalette(hdc, GetSharedPalette(0), FALSE);
    RealizePalette(hdc);
}

namespace {
constexpr int CUBE_LEVELS = 6;
constexpr int CUBE_ENTRIES = CUBE_LEVELS * CUBE_LEVELS * CUBE_LEVELS;
constexpr size_t SCRATCH_SIZE = 1000;  // holds the header and all 216 entries
static_assert(sizeof(LOGPALETTE) + (CUBE_ENTRIES - 1) * sizeof(PALETTEENTRY) <= SCRATCH_SIZE,
              "the colour cube outgrows its scratch buffer");
}

HPALETTE GetSharedPalette(int release)
{
    if (release) {
        if (framework.sharedPalette != nullptr)
            DeleteObject(framework.sharedPalette);
        framework.sharedPalette = nullptr;
        return nullptr;
    }
    if (framework.sharedPalette != nullptr)
        return framework.sharedPalette;
    auto* description = static_cast<LOGPALETTE*>(calloc(1, SCRATCH_SIZE));
    if (description == nullptr)
        return nullptr;
    description->palVersion = 0x300;
    description->palNumEntries = CUBE_ENTRIES;
    for (int r = 0; r < CUBE_LEVELS; ++r) {
        for (int g = 0; g < CUBE_LEVELS; ++g) {
            for (int b = 0; b < CUBE_LEVELS; ++b) {
                PALETTEENTRY& e = description->palPalEntry[36 * r + 6 * g + b];
                e.peRed = static_cast<BYTE>(51 * r);
                e.peGreen = static_cast<BYTE>(51 * g);
                e.peBlue = static_cast<BYTE>(51 * b);
                e.peFlags = 0;
            }
        }
    }
    framework.sharedPalette = CreatePalette(description);
    free(description);
    return framework.sharedPalette;
}
