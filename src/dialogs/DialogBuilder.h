#pragma once
// DialogBuilder: the window side of the dialog layout. It measures texts with the dialog font on
// the screen's DC while the layout runs, creates the controls the layout asks for, and moves them
// to their final places.
#include <windows.h>
#include <cstdint>

#include "dialogs/WMessageContext.h"
#include "dialogs/rules/DialogLayout.h"
#include "dialogs/rules/MarkupLimits.h"

class DialogBuilder final : public LayoutHost {
public:
    DialogBuilder(HWND dialog, WMessageContext* context, int32_t wrapWidth);
    ~DialogBuilder() { Release(); }
    DialogBuilder(const DialogBuilder&) = delete;
    DialogBuilder& operator=(const DialogBuilder&) = delete;

    // Gives the screen's DC back once nothing more is measured.
    void Release();
    // The extent of "WWWWWWWW", from which the layout takes its line height and character width.
    TextSize LineExtent();
    TextSize MeasureText(const char* text, bool editControl) override;
    TextSize OuterSize(uint32_t style, uint32_t exStyle, TextSize client) override;
    bool CreateControl(const ControlSpec& spec, TextSize* outer) override;
    // Moves every control to its final rectangle.
    void Place(const DialogLayout& layout);
    // The message as a static text, where screen readers and other programs read it
    // (WM_GETTEXT); it looks as the painted message did: same font, place and wrapping.
    void CreateMessage(const char* text, int32_t x, int32_t height);

private:
    void AddItems(HWND control, const ControlSpec& spec, UINT add, UINT select);
    void CreatePathChildren(HWND container, const ControlSpec& spec);

    HWND dialog;
    WMessageContext* context;
    int32_t wrapWidth;
    HDC dc;
    HGDIOBJ previousFont;
    HWND windows[MARKUP_MAX_CONTROLS];
    int32_t moveHeights[MARKUP_MAX_CONTROLS];
    int32_t count = 0;
    HWND editWindow = nullptr;   // the edit field, waiting for its text
    const char* editText = nullptr;
};
