#pragma once
// How the message dialog paints: the two-part background, the message with its icon, and the
// owner-drawn items of its list and drop-down list, whose first character may mark them red ('!')
// or yellow ('?').
#include <windows.h>

#include "dialogs/WMessageContext.h"

// The white message band with its line, and the button face below it (WM_ERASEBKGND).
void PaintBackground(HWND dialog, HDC dc, const WMessageContext* c);
// The icon (WM_PAINT); the message is a static text of its own (ID_MESSAGE).
void PaintMessage(HWND dialog, const WMessageContext* c);
// The message text's colours and background brush (WM_CTLCOLORSTATIC).
HBRUSH MessageColours(HDC dc, const WMessageContext* c);
// One item of the list or drop-down list (WM_DRAWITEM).
void DrawItem(const DRAWITEMSTRUCT* d, const WMessageContext* c);
