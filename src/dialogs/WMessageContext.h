#pragma once
// WMessageContext: the record of one WMessageDialog::Show call. It lives exactly as long as the
// call; the dialog window reaches it through its GWLP_USERDATA.
#include <windows.h>
#include <cstdint>

struct WMessageContext {
    HINSTANCE instance;
    HFONT font;
    int32_t textHeight;     // height kept for the message; 0 when there is no message area
    int32_t result;         // -1 until a choice is made
    int32_t inputKind;      // 0 or the tag letter 'B', 'D', 'E', 'L' of the one input control
    int32_t stateWord;
    int32_t cancelIndex;    // -1 when no button is the cancel button
    int32_t defaultIndex;   // -1 when no button is the default button
    HICON icon;
    const char* text;
    int32_t flags;
    char* value;
    int32_t valueSize;
    int32_t browseMode;     // chooser mode of the path field, 0..3
    // Set by the window procedure when the window goes, so the loop ends even when the window
    // went without a choice.
    bool destroyed;
    int32_t wrapWidth;      // width of the message text, the screen width - 100 of this call
    HWND owner;             // the caller's owner, enabled again before the dialog window goes
};
