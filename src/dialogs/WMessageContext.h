#pragma once
// WMessageContext: the record of one WMessageDialog::Show call. It lives exactly as long as the
// call; the dialog window reaches it through its GWLP_USERDATA. Private to the dialog code: other
// programs (screen readers, the test robot) read a question from its windows.
#include <windows.h>
#include <cstdint>

#include "dialogs/rules/DialogLayout.h"

struct WMessageContext {
    HINSTANCE instance;
    HFONT font;
    int32_t textHeight;     // height kept for the message; 0 when there is no message area
    int32_t result;         // -1 until a choice is made
    ControlKind inputKind;  // the one input control, CONTROL_NONE for none
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

// A path field has no size parameter of its own: the caller's buffer holds at least a path.
constexpr int32_t kPathBufferSize = 260;
inline int32_t PathBufferSize(const WMessageContext* c) { return c->valueSize > 1 ? c->valueSize : kPathBufferSize; }

inline WMessageContext* ContextOf(HWND dialog)
{
    return reinterpret_cast<WMessageContext*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
}
