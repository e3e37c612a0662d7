#pragma once
// WMessageDialog: the one modal dialog through which every question is asked. A message, an
// optional icon, a row of buttons and, from a mark-up text, static texts, a separator line, check
// boxes, radio buttons and at most one input control.
#include <windows.h>
#include <cstdint>

#include "dialogs/WMessageContext.h"

class WMessageDialog {
public:
    // Shows the dialog and blocks until a button, Enter, Escape or the close box ends it.
    //   owner     disabled while the dialog runs; null makes a top-most, self-activating dialog
    //   text      message, word-wrapped (null counts as empty)
    //   icon      MAKEINTRESOURCE identifier: 32001..63999 are system icons (IDI_...), others
    //             come from the program's module; null for none
    //   buttons   "+&Continue|-&Abort": '|' separates labels, '+' marks the default button and
    //             '-' the cancel button; null stands for "+&OK"
    //   markup    tags such as "<S>text<C3>box<E10:40><F2>"; null for none
    //   state     check bits 0..15 and the list selection in bits 16..31, read and written back
    //   value     list items joined by '|', the edit text, or the path of a path field
    //   valueSize bytes of `value` for an editable edit field; 0 otherwise
    // Returns the position of the chosen button, or -1 when the dialog ended without a choice.
    static int32_t Show(HWND owner, const char* text, const char* caption, const char* icon,
                        const char* buttons, const char* markup, int32_t* state, char* value,
                        int32_t valueSize);

    // Window procedure of the class "ZEB_UB_CLASS".
    static LRESULT CALLBACK WindowProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    // Installed on every control of the dialog; the control's GWLP_USERDATA holds its previous
    // procedure.
    static LRESULT CALLBACK ControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

private:
    // The browse button "..." of a path field. The file and folder chooser is wired in here.
    static void BrowseForPath(HWND dialog, WMessageContext* context);
};
