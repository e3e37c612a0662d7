#pragma once
// The message dialog's keyboard without a dialog manager. The controls keep their own keys (Space
// on a button or check box, arrows in a list, typing in an edit); the dialog adds Tab, Shift+Tab
// and the access keys of its buttons and boxes.
#include <windows.h>

// The next (or previous) tab stop after `focus`, wrapping round; from the dialog itself, or from
// a window that is not in the focus order, the first (or last) one. Null when there is none.
HWND NextTabStop(HWND dialog, HWND focus, bool backward);

// Tab and the access keys, taken from the queue before any control sees them. True when the
// message was used up.
bool DialogKey(HWND dialog, const MSG& msg);
