#include "dialogs/DialogPainting.h"

#include "common/ScopedGdi.h"
#include "dialogs/rules/MarkupLimits.h"

namespace {
constexpr COLORREF kMarkRed = RGB(255, 0, 0);
constexpr COLORREF kMarkYellow = RGB(192, 192, 0);
}  // namespace

void PaintBackground(HWND dialog, HDC dc, const WMessageContext* c)
{
    RECT client;
    GetClientRect(dialog, &client);
    RECT rest = client;
    if (!(c->flags & MARKUP_FLAG_PLAIN) && c->textHeight != 0) {
        const int band = c->textHeight + 12;
        RECT top{client.left, client.top, client.right, band};
        FillRect(dc, &top, GetSysColorBrush(COLOR_WINDOW));
        MoveToEx(dc, 0, band, nullptr);
        LineTo(dc, client.right, band);
        rest.top = band + 1;
    }
    FillRect(dc, &rest, GetSysColorBrush(COLOR_BTNFACE));
}

void PaintMessage(HWND dialog, const WMessageContext* c)
{
    const ScopedPaint paint(dialog);
    if (c->icon)
        DrawIcon(paint.dc, 8, 8, c->icon);
}

HBRUSH MessageColours(HDC dc, const WMessageContext* c)
{
    // Black on the band, as the message was always drawn.
    const int background = (c->flags & MARKUP_FLAG_PLAIN) ? COLOR_BTNFACE : COLOR_WINDOW;
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, GetSysColor(background));
    return GetSysColorBrush(background);
}

void DrawItem(const DRAWITEMSTRUCT* d, const WMessageContext* c)
{
    const bool combo = c->inputKind == CONTROL_DROPDOWN;
    char small[MARKUP_MAX_LABEL + 1];
    char* text = small;
    LRESULT length = -1;
    if (d->itemID != static_cast<UINT>(-1)) {
        length = SendMessageA(d->hwndItem, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, d->itemID, 0);
        // Our own items are cut to the buffer; anything longer came from elsewhere and gets room.
        if (length > MARKUP_MAX_LABEL) {
            text = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, static_cast<SIZE_T>(length) + 1));
            if (!text) {
                text = small;
                length = -1;
            }
        }
        if (length >= 0)
            length = SendMessageA(d->hwndItem, combo ? CB_GETLBTEXT : LB_GETTEXT, d->itemID,
                                  reinterpret_cast<LPARAM>(text));
    }
    COLORREF mark = RGB(0, 0, 0);
    const char* shown = text;
    if (length > 0 && (text[0] == '!' || text[0] == '?')) {
        mark = text[0] == '!' ? kMarkRed : kMarkYellow;
        ++shown;
        --length;
    }
    HDC dc = d->hDC;
    RECT r = d->rcItem;
    if (d->itemState & ODS_SELECTED) {
        FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    } else {
        FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        SetTextColor(dc, mark);
    }
    if (length >= 0) {
        r.left += 4;
        DrawTextA(dc, shown, static_cast<int>(length), &r, DT_SINGLELINE | DT_NOCLIP);
    }
    if (text != small)
        HeapFree(GetProcessHeap(), 0, text);
}
