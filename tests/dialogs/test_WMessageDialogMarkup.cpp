// Real mark-up dialogs under Wine: the installer's licence and drive questions, geometry checked
// against text measured here, the state word and the value buffer on every way back.
#include "dialogs/DialogRobot.h"

#include <cstring>

using robot::Call;
using robot::Measure;

namespace {

const char kWelcome[] =
    "Welcome at the KESTRAND installer. KESTRAND is an ATA/IDE diagnostic package.\nSee the accompanying "
    "documentation or visit our website for more information.\n\nThis installer prepares a (removable) disk "
    "for use with KESTRAND.";
const char kLicenceMarkup[] = "<E10><C15>I have read and fully agree to this license agreement<F2>";
const char kAgree[] = "I have read and fully agree to this license agreement";

struct Expect {
    int x, y, width, height;
};

void ExpectRect(const Expect& e, HWND dialog, HWND control, const char* what)
{
    SCOPED_TRACE(what);
    ASSERT_NE(nullptr, control);
    RECT r = robot::RectIn(dialog, control);
    EXPECT_EQ(e.x, r.left);
    EXPECT_EQ(e.y, r.top);
    EXPECT_EQ(e.width, r.right - r.left);
    EXPECT_EQ(e.height, r.bottom - r.top);
}

// The button row as the dialog lays it out: measured labels, 8 pixels apart, centred over the
// content width; returns the row's top and its height.
void ExpectButtons(HWND dialog, const Measure& m, const std::vector<const char*>& labels, int contentWidth,
                   int rowTop)
{
    int row = -8;
    std::vector<SIZE> sizes;
    for (const char* label : labels) {
        SIZE s = m.Text(label);
        sizes.push_back(SIZE{s.cx + 48, s.cy + 8});
        row += s.cx + 48 + 8;
    }
    int x = 8 + (contentWidth - row) / 2;
    for (size_t i = 0; i < labels.size(); ++i) {
        ExpectRect({x, rowTop, static_cast<int>(sizes[i].cx), static_cast<int>(sizes[i].cy)}, dialog,
                   GetDlgItem(dialog, 1000 + static_cast<int>(i)), labels[i]);
        x += sizes[i].cx + 8;
    }
}

int RowWidth(const Measure& m, const std::vector<const char*>& labels)
{
    int row = -8;
    for (const char* label : labels)
        row += m.Text(label).cx + 56;
    return row;
}

void ExpectWindow(HWND dialog, int contentWidth, int clientHeight)
{
    RECT r;
    GetWindowRect(dialog, &r);
    const int w = contentWidth + 16 + 2 * GetSystemMetrics(SM_CXDLGFRAME);
    const int h = clientHeight + GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYDLGFRAME);
    EXPECT_EQ(w, r.right - r.left);
    EXPECT_EQ(h, r.bottom - r.top);
    EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - w) / 2, r.left);
    EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - h) / 2, r.top);
}

std::string Licence()
{
    // Many lines of the widest width: the box must fit each of them without wrapping.
    std::string text;
    for (int i = 10; i < 70; ++i)
        text += "Section " + std::to_string(i) +
                ": the licensee may use this software for diagnosing disks, and for nothing else at all.\r\n";
    return text;
}

TEST(WMessageDialogMarkup, LicenceBoxEnablesContinueOnlyWhileTicked)
{
    Measure m;
    std::string licence = Licence();
    int32_t state = 0;
    Call call;
    call.text = kWelcome;
    call.icon = IDI_ASTERISK;
    call.buttons = "+&Continue|-&Abort";
    call.markup = kLicenceMarkup;
    call.state = &state;
    call.value = &licence[0];
    EXPECT_EQ(0, robot::Show(call, [&](HWND d) {
        HWND edit = GetDlgItem(d, 400);
        HWND box = GetDlgItem(d, 515);
        HWND cont = GetDlgItem(d, 1000);
        ASSERT_NE(nullptr, edit);
        ASSERT_NE(nullptr, box);
        EXPECT_EQ(0x50211844u, robot::StyleOf(edit));   // multi-line, scroll bar, read-only
        EXPECT_TRUE(GetWindowLongPtrA(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
        EXPECT_EQ(static_cast<int>(licence.size()), GetWindowTextLengthA(edit));
        EXPECT_EQ(0x50010003u, robot::StyleOf(box));
        EXPECT_EQ(kAgree, robot::TextOf(box));
        EXPECT_EQ(BST_UNCHECKED, SendMessageA(box, BM_GETCHECK, 0, 0));
        EXPECT_EQ(4u, robot::Children(d).size());

        // Geometry from the measured texts.
        SIZE message = m.Text(kWelcome);
        const int textHeight = message.cy > 32 ? message.cy : 32;
        SIZE content = m.Text(licence.c_str(), true);
        RECT er{0, 0, static_cast<LONG>(content.cx + GetSystemMetrics(SM_CXVSCROLL)), 10 * m.lineHeight};
        AdjustWindowRectEx(&er, 0x50211044, FALSE, WS_EX_CLIENTEDGE);
        const LRESULT margins = SendMessageA(edit, EM_GETMARGINS, 0, 0);
        const int editWidth = er.right - er.left + 4 + LOWORD(margins) + HIWORD(margins);
        const int editHeight = er.bottom - er.top + 6;
        SIZE agree = m.Text(kAgree);
        int cw = message.cx + 40;
        cw = std::max(cw, editWidth);
        cw = std::max(cw, static_cast<int>(agree.cx) + 32);
        cw = std::max(cw, RowWidth(m, {"&Continue", "&Abort"}));
        int y = textHeight + 16;
        ExpectRect({8, y, cw, editHeight}, d, edit, "licence box");
        RECT client;
        GetClientRect(edit, &client);
        EXPECT_EQ(10 * m.lineHeight + 6, client.bottom);   // the 6 extra pixels stay inside the edges
        // Every line of the licence fits: none is wrapped (60 lines and the empty one after).
        EXPECT_EQ(61, SendMessageA(edit, EM_GETLINECOUNT, 0, 0));
        y += editHeight + 4;
        ExpectRect({8, y, cw, static_cast<int>(agree.cy)}, d, box, "acceptance box");
        y += agree.cy + 4;
        ExpectButtons(d, m, {"&Continue", "&Abort"}, cw, y);
        y += m.Text("&Continue").cy + 8 + 8;
        ExpectWindow(d, cw, y);

        // The message is a static text where a screen reader finds it, in the painted
        // message's place: beside the icon, the wrap width wide, as high as its area.
        HWND text = robot::MessageOf(d);
        ASSERT_NE(nullptr, text);
        EXPECT_EQ(kWelcome, robot::TextOf(text));
        EXPECT_EQ(0x50000080u, robot::StyleOf(text));   // SS_LEFT | SS_NOPREFIX
        ExpectRect({48, 8, m.wrap, textHeight}, d, text, "message");
        EXPECT_EQ(text, GetWindow(GetDlgItem(d, 1001), GW_HWNDNEXT));   // made last

        // Continue follows the box, both ways; Enter does nothing while it is disabled, and
        // neither does a click or a command, whatever the button control does with them.
        EXPECT_FALSE(IsWindowEnabled(cont));
        robot::KeyTo(d, VK_RETURN);
        robot::KeyTo(edit, VK_RETURN);
        robot::Click(d, 1000);
        SendMessageA(d, WM_COMMAND, MAKEWPARAM(1000, BN_CLICKED), reinterpret_cast<LPARAM>(cont));
        SendMessageA(d, WM_COMMAND, MAKEWPARAM(1007, BN_CLICKED), 0);   // no such button
        ASSERT_TRUE(IsWindow(d));
        robot::Click(d, 515);
        EXPECT_TRUE(IsWindowEnabled(cont));
        robot::Click(d, 515);
        EXPECT_FALSE(IsWindowEnabled(cont));
        robot::Click(d, 515);
        EXPECT_TRUE(IsWindowEnabled(cont));
        robot::KeyTo(box, VK_RETURN);   // Enter on the box is handed to the dialog
    }));
    EXPECT_EQ(0x8000, state);
    EXPECT_EQ(Licence(), licence);   // valueSize 0: the text is left alone
}

// A licence of 32K characters and more reaches the box whole (Wine drops or cuts such texts
// when they are given to CreateWindowEx).
TEST(WMessageDialogMarkup, LongLicenceArrivesWhole)
{
    for (size_t size : {40000u, 100000u}) {
        std::string licence;
        while (licence.size() < size)
            licence += "Every line of a long licence must be there to be read and agreed to.\r\n";
        licence.resize(size);
        Call call;
        call.buttons = "+&Continue|-&Abort";
        call.markup = kLicenceMarkup;
        call.value = &licence[0];
        robot::Show(call, [&](HWND d) {
            EXPECT_EQ(static_cast<int>(size), GetWindowTextLengthA(GetDlgItem(d, 400)));
            robot::Click(d, 1001);
        });
    }
}

TEST(WMessageDialogMarkup, LicenceAlreadyAcceptedStartsWithContinueEnabled)
{
    std::string licence = "short";
    int32_t state = 0x8000;
    Call call;
    call.buttons = "+&Continue|-&Abort";
    call.markup = kLicenceMarkup;
    call.state = &state;
    call.value = &licence[0];
    EXPECT_EQ(1, robot::Show(call, [](HWND d) {
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d, 1000)));
        EXPECT_EQ(BST_CHECKED, SendMessageA(GetDlgItem(d, 515), BM_GETCHECK, 0, 0));
        robot::KeyTo(GetDlgItem(d, 400), VK_ESCAPE);
    }));
    EXPECT_EQ(0x8000, state);
}

TEST(WMessageDialogMarkup, DriveChoiceComesBackInTheUpperHalf)
{
    Measure m;
    const char* label =
        "Please select the drive which to install KESTRAND to\n(First backup any important files on the disk)";
    std::string markup = std::string("<S>") + label + "<D>";
    const char* text = "KESTRAND requires at bootable formatted disk. Optionally this installer can make a\nFAT12/16 "
                       "formatted disk bootable using the FreeDos kernel.";
    char drives[] = "A:|B:";
    int32_t state = 0;
    Call call;
    call.text = text;
    call.icon = IDI_ASTERISK;
    call.buttons = "+&Continue|-&Abort";
    call.markup = markup.c_str();
    call.state = &state;
    call.value = drives;
    EXPECT_EQ(0, robot::Show(call, [&](HWND d) {
        std::vector<HWND> children = robot::Children(d);
        ASSERT_EQ(4u, children.size());
        HWND stat = children[0];
        HWND combo = GetDlgItem(d, 400);
        EXPECT_EQ(label, robot::TextOf(stat));
        EXPECT_EQ(-1, GetDlgCtrlID(stat));
        // The combo box draws its own border and drops WS_BORDER from its style.
        EXPECT_EQ(0x50810613u & ~WS_BORDER, robot::StyleOf(combo) & ~WS_BORDER);
        EXPECT_EQ(2, SendMessageA(combo, CB_GETCOUNT, 0, 0));
        EXPECT_EQ(0, SendMessageA(combo, CB_GETCURSEL, 0, 0));

        SIZE message = m.Text(text);
        SIZE s = m.Text(label);
        const int textHeight = message.cy > 32 ? message.cy : 32;
        RECT closed;
        GetWindowRect(combo, &closed);
        const int comboHeight = closed.bottom - closed.top;
        int cw = std::max(static_cast<int>(message.cx) + 40, static_cast<int>(s.cx));
        cw = std::max(cw, RowWidth(m, {"&Continue", "&Abort"}));
        int y = textHeight + 16;
        ExpectRect({8, y, cw, static_cast<int>(s.cy)}, d, stat, "static text");
        y += s.cy + 4;
        ExpectRect({8, y, cw, comboHeight}, d, combo, "drive list");
        RECT dropped;
        SendMessageA(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
        EXPECT_EQ(15 * 2 + 4, dropped.bottom - dropped.top);   // the open list shows both drives
        y += comboHeight + 4;
        ExpectButtons(d, m, {"&Continue", "&Abort"}, cw, y);
        ExpectWindow(d, cw, y + m.Text("&Continue").cy + 16);

        // The message is read where a screen reader reads it.
        EXPECT_EQ(text, robot::TextOf(robot::MessageOf(d)));

        // An open list keeps Escape and Enter: Escape only closes it, Enter only chooses the
        // item; with the list closed Enter answers the question.
        SetFocus(combo);
        robot::Type(VK_F4);
    }, nullptr, {
        [](HWND d) {
            EXPECT_TRUE(SendMessageA(GetDlgItem(d, 400), CB_GETDROPPEDSTATE, 0, 0));
            robot::Type(VK_ESCAPE);
        },
        [](HWND d) {
            EXPECT_FALSE(SendMessageA(GetDlgItem(d, 400), CB_GETDROPPEDSTATE, 0, 0));
            robot::Type(VK_DOWN, true);   // Alt+Down opens it as well
        },
        [](HWND d) {
            EXPECT_TRUE(SendMessageA(GetDlgItem(d, 400), CB_GETDROPPEDSTATE, 0, 0));
            robot::Type(VK_DOWN);
            robot::Type(VK_RETURN);
        },
        [](HWND d) {
            EXPECT_FALSE(SendMessageA(GetDlgItem(d, 400), CB_GETDROPPEDSTATE, 0, 0));
            EXPECT_EQ(1, SendMessageA(GetDlgItem(d, 400), CB_GETCURSEL, 0, 0));
            robot::Type(VK_RETURN);
        },
    }));
    EXPECT_EQ(1 << 16, state);
}

// The close box answers like the cancel button and still hands back the check marks and the
// list selection.
TEST(WMessageDialogMarkup, CloseBoxGathersTheValues)
{
    char items[] = "first|second|third";
    int32_t state = 1 | (1 << 4) | (1 << 9);   // 9 has no control and comes back clear
    Call call;
    call.buttons = "+&Go|&Stay|-&Leave";
    call.markup = "<C0>zero<C3>three<R4>four<R5>five<L2>";
    call.state = &state;
    call.value = items;
    EXPECT_EQ(2, robot::Show(call, [](HWND d) {
        EXPECT_EQ(BST_CHECKED, SendMessageA(GetDlgItem(d, 500), BM_GETCHECK, 0, 0));
        EXPECT_EQ(BST_CHECKED, SendMessageA(GetDlgItem(d, 504), BM_GETCHECK, 0, 0));
        EXPECT_EQ(0x50010009u, robot::StyleOf(GetDlgItem(d, 505)));
        HWND list = GetDlgItem(d, 400);
        EXPECT_EQ(0x50A11151u, robot::StyleOf(list));
        EXPECT_EQ(0, SendMessageA(list, LB_GETCURSEL, 0, 0));   // upper half 0 selects the first item
        robot::Click(d, 503);
        robot::Click(d, 505);   // radio buttons of one group: 4 goes out
        SendMessageA(list, LB_SETCURSEL, 2, 0);
        robot::CloseBox(d);
    }));
    EXPECT_EQ(1 | (1 << 3) | (1 << 5) | (2 << 16), state);
}

// Rows of mark-up texts whose controls are counted and placed by measured text.
TEST(WMessageDialogMarkup, TagsCreateTheirControlsOnly)
{
    Measure m;
    const int top = m.Text("Message").cy + 16;
    struct Row {
        const char* markup;
        std::vector<std::string> texts;   // the mark-up controls' texts, in order
    } rows[] = {
        {"plain text first<S>shown", {"shown"}},
        {"a<<S>b<S>a<<b", {"a<b"}},
        {"<S>x<C16>sixteen<C-1>minus<R99>far<Q>unknown<F0>dropped<H5>dropped", {"x"}},
        {"<E2><E3><L><D><B>", {""}},
        {"<S>\n\nthree lines", {"\n\nthree lines"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.markup);
        char value[] = "";
        Call call;
        call.markup = row.markup;
        call.value = value;
        robot::Show(call, [&](HWND d) {
            std::vector<HWND> children = robot::Children(d);
            ASSERT_EQ(row.texts.size() + 1, children.size());
            int y = top;
            for (size_t i = 0; i < row.texts.size(); ++i) {
                EXPECT_EQ(row.texts[i], robot::TextOf(children[i]));
                RECT r = robot::RectIn(d, children[i]);
                EXPECT_EQ(8, r.left);
                EXPECT_EQ(y, r.top);
                y = r.bottom + 4;
            }
            robot::Click(d, 1000);
        });
    }
}

TEST(WMessageDialogMarkup, VerticalAndHorizontalSpacingTags)
{
    Measure m;
    Call call;
    call.markup = "<S>first<V-10><S>second<H300>";
    robot::Show(call, [&](HWND d) {
        std::vector<HWND> c = robot::Children(d);
        ASSERT_EQ(3u, c.size());
        RECT a = robot::RectIn(d, c[0]);
        RECT b = robot::RectIn(d, c[1]);
        EXPECT_EQ(a.bottom + 4 - 10, b.top);
        const int cw = std::max(300, RowWidth(m, {"&OK"}));
        EXPECT_EQ(cw, b.right - b.left);
        RECT client;
        GetClientRect(d, &client);
        EXPECT_EQ(cw + 16, client.right);
        robot::Click(d, 1000);
    });
}

COLORREF ClientPixel(HWND d, int x, int y)
{
    HDC dc = GetDC(d);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(d, dc);
    return c;
}

TEST(WMessageDialogMarkup, EmptyTextWithoutIconLeavesNoMessageArea)
{
    Call call;
    call.text = "";
    call.markup = "<S>top";
    robot::Show(call, [&](HWND d) {
        EXPECT_EQ(0, robot::RectIn(d, robot::Children(d)[0]).top);
        UpdateWindow(d);
        RedrawWindow(d, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW);
        EXPECT_EQ(GetSysColor(COLOR_BTNFACE), ClientPixel(d, 2, 2));
        robot::Click(d, 1000);
    });
}

TEST(WMessageDialogMarkup, EmptyTextWithIconKeepsTheIconsRoom)
{
    Measure m;
    Call call;
    call.text = "";
    call.icon = IDI_QUESTION;
    call.markup = "<=>";
    robot::Show(call, [&](HWND d) {
        SIZE blank = m.Text(" ");
        const int textHeight = std::max(32, static_cast<int>(blank.cy));
        HWND line = GetDlgItem(d, 101);
        EXPECT_EQ(0x50001000u, robot::StyleOf(line));
        RECT r = robot::RectIn(d, line);
        EXPECT_EQ(textHeight + 16, r.top);
        EXPECT_EQ(2, r.bottom - r.top);
        const int cw = std::max(static_cast<int>(blank.cx) + 40, RowWidth(m, {"&OK"}));
        EXPECT_EQ(cw, r.right - r.left);
        // The white band reaches textHeight + 12, with the line under it.
        RedrawWindow(d, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW);
        EXPECT_EQ(GetSysColor(COLOR_WINDOW), ClientPixel(d, 60, textHeight + 11));
        EXPECT_EQ(RGB(0, 0, 0), ClientPixel(d, 60, textHeight + 12));
        EXPECT_EQ(GetSysColor(COLOR_BTNFACE), ClientPixel(d, 60, textHeight + 13));
        robot::Click(d, 1000);
    });
}

// An icon that cannot be loaded keeps its room, so the layout does not depend on the system.
TEST(WMessageDialogMarkup, UnloadableIconKeepsItsRoom)
{
    Measure m;
    Call call;
    call.text = "Hi";
    call.icon = MAKEINTRESOURCEA(77);   // no such icon in the test program
    call.markup = "<S>x";
    robot::Show(call, [&](HWND d) {
        RECT r = robot::RectIn(d, robot::Children(d)[0]);
        EXPECT_EQ(std::max(32, static_cast<int>(m.Text("Hi").cy)) + 16, r.top);
        EXPECT_EQ(std::max(static_cast<int>(m.Text("Hi").cx) + 40, RowWidth(m, {"&OK"})), r.right - r.left);
        robot::Click(d, 1000);
    });
}

// Identifiers 32001 to 63999 name system icons, all others the program's own (this test
// program has icons 32000, 32001, 63999 and 64000). The message starts beside a drawn icon, and
// at x = 8 when there is none, even when an icon that could not be loaded keeps its room.
TEST(WMessageDialogMarkup, IconsAndWhereTheMessageStarts)
{
    const struct {
        int id;   // 0: no icon
        bool loaded;
        int textX;
    } rows[] = {
        {0, false, 8}, {32000, true, 48}, {32001, false, 8}, {32513, true, 48}, {63999, false, 8}, {64000, true, 48},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.id);
        Call call;
        call.text = "Message";
        call.icon = row.id ? MAKEINTRESOURCEA(row.id) : nullptr;
        robot::Show(call, [&](HWND d) {
            RedrawWindow(d, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            EXPECT_EQ(row.textX, robot::RectIn(d, robot::MessageOf(d)).left);
            // Ink in the icon's square under the message's one line only when an icon was drawn.
            bool inked = false;
            const int below = 8 + Measure().lineHeight + 2;
            const int bandEnd = row.id ? 40 : Measure().lineHeight + 12;   // the white band's end
            HDC iconDc = GetDC(d);
            for (int x = 8; x < 40 && !inked; ++x)
                for (int y = below; y < bandEnd && !inked; ++y)
                    inked = GetPixel(iconDc, x, y) != GetSysColor(COLOR_WINDOW);
            ReleaseDC(d, iconDc);
            EXPECT_EQ(row.loaded, inked);
            // The first ink right of the icon's room, on the text's first line.
            const int from = row.loaded ? 44 : 0;
            int first = -1;
            HDC dc = GetDC(d);
            for (int x = from; x < 120 && first < 0; ++x)
                for (int y = 8; y < 20; ++y)
                    if (GetPixel(dc, x, y) != GetSysColor(COLOR_WINDOW)) {
                        first = x;
                        break;
                    }
            ReleaseDC(d, dc);
            EXPECT_GE(first, row.textX);
            EXPECT_LE(first, row.textX + 2);
            robot::Click(d, 1000);
        });
    }
}

TEST(WMessageDialogMarkup, PlainFlagPaintsTheMessageOnButtonFace)
{
    Call call;
    call.markup = "<F1>";
    robot::Show(call, [&](HWND d) {
        RedrawWindow(d, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        EXPECT_EQ(GetSysColor(COLOR_BTNFACE), ClientPixel(d, 2, 2));
        // The message text's own background, right of the text, is the button face as well.
        EXPECT_EQ(GetSysColor(COLOR_BTNFACE), ClientPixel(d, 8 + Measure().Text("Message").cx + 4, 12));
        robot::Click(d, 1000);
    });
}

TEST(WMessageDialogMarkup, EditFieldValueSize)
{
    Measure m;
    struct Row {
        int32_t valueSize;
        const char* typed;
        const char* back;
        bool readOnly;
    } rows[] = {
        {0, "typed", "start", true},
        {1, "typed", "", true},
        {6, "typed text", "typed", false},   // at most valueSize - 1 characters come back
        {40, "typed text", "typed text", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.valueSize);
        char value[64] = "start";
        std::memset(value + 6, 'z', sizeof value - 7);
        value[sizeof value - 1] = '\0';
        value[5] = '\0';
        Call call;
        call.markup = "<E>";
        call.value = value;
        call.valueSize = row.valueSize;
        robot::Show(call, [&](HWND d) {
            HWND edit = GetDlgItem(d, 400);
            EXPECT_EQ(row.readOnly, (robot::StyleOf(edit) & ES_READONLY) != 0);
            EXPECT_EQ(0x50011000u, robot::StyleOf(edit) & ~static_cast<uint32_t>(ES_READONLY));
            if (row.valueSize > 1) {
                EXPECT_EQ(row.valueSize - 1, SendMessageA(edit, EM_GETLIMITTEXT, 0, 0));
            }
            // A one-line value is measured as the field's size.
            SIZE s = m.Text("start", true);
            RECT r{0, 0, s.cx, s.cy};
            AdjustWindowRectEx(&r, 0x50011000, FALSE, WS_EX_CLIENTEDGE);
            RECT got = robot::RectIn(d, edit);
            EXPECT_EQ(r.bottom - r.top + 6, got.bottom - got.top);
            SetWindowTextA(edit, row.typed);
            robot::KeyTo(edit, VK_RETURN);
        });
        EXPECT_STREQ(row.back, value);
        EXPECT_EQ('z', value[std::max<size_t>(6, std::strlen(row.back) + 1)]);   // nothing written past it
    }
}

// The list and the drop-down list draw their items themselves: a leading '!' or '?' is a colour,
// not a character.
TEST(WMessageDialogMarkup, ColourMarkersAndSelection)
{
    for (const bool combo : {false, true}) {
        SCOPED_TRACE(combo ? "drop-down list" : "list");
        char items[] = "!Red item|?Yellow item|Plain item|!|?|Red item";
        Call call;
        call.markup = combo ? "<D>" : "<L>";
        call.value = items;
        robot::Show(call, [&](HWND d) {
            HWND list = GetDlgItem(d, 400);
            HDC screen = GetDC(list);
            HDC dc = CreateCompatibleDC(screen);
            HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 15);
            HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
            HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0)));
            auto draw = [&](UINT item, bool selected) {
                DRAWITEMSTRUCT dis{};
                dis.CtlType = combo ? ODT_COMBOBOX : ODT_LISTBOX;
                dis.CtlID = 400;
                dis.itemID = item;
                dis.itemAction = ODA_DRAWENTIRE;
                dis.itemState = selected ? ODS_SELECTED : 0;
                dis.hwndItem = list;
                dis.hDC = dc;
                dis.rcItem = RECT{0, 0, 200, 15};
                SendMessageA(d, WM_DRAWITEM, 400, reinterpret_cast<LPARAM>(&dis));
                std::vector<COLORREF> colours;
                for (int y = 0; y < 15; ++y)
                    for (int x = 0; x < 200; ++x)
                        colours.push_back(GetPixel(dc, x, y));
                return colours;
            };
            auto count = [](const std::vector<COLORREF>& p, COLORREF c) {
                return std::count(p.begin(), p.end(), c);
            };
            const COLORREF window = GetSysColor(COLOR_WINDOW);
            const COLORREF high = GetSysColor(COLOR_HIGHLIGHT);
            const COLORREF highText = GetSysColor(COLOR_HIGHLIGHTTEXT);
            std::vector<COLORREF> red = draw(0, false);
            std::vector<COLORREF> yellow = draw(1, false);
            std::vector<COLORREF> plain = draw(2, false);
            EXPECT_GT(count(red, RGB(255, 0, 0)), 10);
            EXPECT_EQ(0, count(red, RGB(0, 0, 0)));
            EXPECT_GT(count(yellow, RGB(192, 192, 0)), 10);
            EXPECT_GT(count(plain, RGB(0, 0, 0)), 10);
            EXPECT_EQ(0, count(plain, RGB(255, 0, 0)));
            // The marker itself is not drawn: a marker alone is an empty line.
            EXPECT_EQ(static_cast<long>(red.size()), count(draw(3, false), window));
            EXPECT_EQ(static_cast<long>(red.size()), count(draw(4, false), window));
            // Selected, the highlight colours win over the marker.
            std::vector<COLORREF> selected = draw(0, true);
            EXPECT_EQ(0, count(selected, RGB(255, 0, 0)));
            EXPECT_GT(count(selected, highText), 10);
            EXPECT_GT(count(selected, high), 1000);
            // The first character drawn is the one after the marker: "Red item" starts where
            // "Plain item" starts, at 4 pixels.
            auto firstInk = [&](const std::vector<COLORREF>& p, COLORREF ink) {
                int first = 200;
                for (size_t i = 0; i < p.size(); ++i)
                    if (p[i] == ink)
                        first = std::min(first, static_cast<int>(i % 200));
                return first;
            };
            EXPECT_EQ(firstInk(plain, RGB(0, 0, 0)), firstInk(red, RGB(255, 0, 0)));
            // Red ink exactly where the same text without its marker has black ink.
            std::vector<COLORREF> unmarked = draw(5, false);
            for (size_t i = 0; i < red.size(); ++i)
                ASSERT_EQ(unmarked[i] == RGB(0, 0, 0), red[i] == RGB(255, 0, 0)) << "pixel " << i;
            // An item longer than the dialog's own 255 characters, added from outside, is drawn too.
            const std::string longItem = "!" + std::string(300, 'w');
            SendMessageA(list, combo ? CB_ADDSTRING : LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(longItem.c_str()));
            EXPECT_GT(count(draw(6, false), RGB(255, 0, 0)), 10);
            SelectObject(dc, oldFont);
            SelectObject(dc, oldBitmap);
            DeleteObject(bitmap);
            DeleteDC(dc);
            ReleaseDC(list, screen);


            // The items as the control itself paints them on the screen: the closed drop-down list
            // shows its selected item, unfocused, in its colour.
            if (combo) {
                SendMessageA(list, CB_SETCURSEL, 0, 0);
                RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
                HDC cdc = GetDC(list);
                int red = 0;
                for (int y = 0; y < 15; ++y)
                    for (int x = 0; x < 60; ++x)
                        red += GetPixel(cdc, x, y) == RGB(255, 0, 0);
                ReleaseDC(list, cdc);
                EXPECT_GT(red, 10);
                robot::Click(d, 1000);
                return;
            }
            SendMessageA(list, LB_SETCURSEL, 1, 0);
            RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            HDC ldc = GetDC(list);
            int redOnScreen = 0, highOnScreen = 0;
            for (int y = 0; y < 30; ++y)
                for (int x = 0; x < 60; ++x) {
                    COLORREF c = GetPixel(ldc, x, y);
                    redOnScreen += c == RGB(255, 0, 0);
                    highOnScreen += y >= 15 && c == high;
                }
            ReleaseDC(list, ldc);
            EXPECT_GT(redOnScreen, 10);
            EXPECT_GT(highOnScreen, 100);
            robot::Click(d, 1000);
        });
    }
}

// A double click in a list, like Enter there, chooses the default button, and only while it is
// enabled; the item clicked is the one handed back.
TEST(WMessageDialogMarkup, ListDoubleClickAndEnterChooseTheDefault)
{
    auto doubleClick = [](HWND list, int item) {
        const LPARAM at = MAKELPARAM(10, item * 15 + 5);
        SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(list, WM_LBUTTONUP, 0, at);
        SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        SendMessageA(list, WM_LBUTTONUP, 0, at);
    };
    char items[] = "first|second|third";
    int32_t state = 0;
    Call call;
    call.buttons = "+&Go|-&Stop";
    call.markup = "<L><C15>Agree<F2>";
    call.state = &state;
    call.value = items;
    EXPECT_EQ(0, robot::Show(call, [&](HWND d) {
        HWND list = GetDlgItem(d, 400);
        doubleClick(list, 1);
        robot::KeyTo(list, VK_RETURN);
        ASSERT_TRUE(IsWindow(d)) << "Go is disabled";
        EXPECT_EQ(1, SendMessageA(list, LB_GETCURSEL, 0, 0));
        robot::Click(d, 515);
        doubleClick(list, 2);
    }));
    EXPECT_EQ(0x8000 | (2 << 16), state);
    call.markup = "<L>";
    EXPECT_EQ(0, robot::Show(call, [&](HWND d) {
        SendMessageA(GetDlgItem(d, 400), LB_SETCURSEL, 1, 0);
        robot::KeyTo(GetDlgItem(d, 400), VK_RETURN);
    }));
    EXPECT_EQ(1 << 16, state);
}

// Open-ended inputs stay bounded: a long label is cut to 255 characters, controls beyond 32
// are not made while the rest of the mark-up (here the flag) is still read, and every button
// keeps its place.
TEST(WMessageDialogMarkup, LongLabelsAndTooManyControlsAreBounded)
{
    std::string markup = "<S>" + std::string(300, 'x');
    for (int i = 0; i < 40; ++i)
        markup += "<C" + std::to_string(i % 15) + ">box";
    markup += "<F2>";
    std::string items(400, 'i');
    items += "|short";
    Call call;
    call.buttons = "+&One|-&Two|&Three";
    call.markup = markup.c_str();
    robot::Show(call, [&](HWND d) {
        std::vector<HWND> c = robot::Children(d);
        EXPECT_EQ(32u, c.size());
        EXPECT_EQ(std::string(255, 'x'), robot::TextOf(c[0]));
        EXPECT_NE(nullptr, GetDlgItem(d, 1002));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, 1000)));   // <F2> after the dropped tags
        robot::Click(d, 1002);
    });
    call.buttons = nullptr;
    call.markup = "<D>";
    call.value = &items[0];
    robot::Show(call, [&](HWND d) {
        HWND combo = GetDlgItem(d, 400);
        EXPECT_EQ(255, SendMessageA(combo, CB_GETLBTEXTLEN, 0, 0));
        RedrawWindow(combo, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        robot::Click(d, 1000);
    });
}

// The path field: a container stretched to the content width, the edit and the browse button
// laid out inside it, and the path as the user left it, never longer than its buffer.
TEST(WMessageDialogMarkup, PathFieldLayoutAndBoundedPath)
{
    Measure m;
    char path[260] = "C:\\somewhere";
    Call call;
    call.markup = "<H400><B1>Choose|Text files|*.txt|";
    call.value = path;
    robot::Show(call, [&](HWND d) {
        HWND box = GetDlgItem(d, 401);
        ASSERT_NE(nullptr, box);
        HWND edit = GetDlgItem(box, 402);
        HWND browse = GetDlgItem(box, 403);
        ASSERT_NE(nullptr, edit);
        ASSERT_NE(nullptr, browse);
        EXPECT_EQ("Choose|Text files|*.txt|", robot::TextOf(box));
        EXPECT_EQ("C:\\somewhere", robot::TextOf(edit));
        EXPECT_EQ("...", robot::TextOf(browse));
        EXPECT_EQ(0x50010000u, robot::StyleOf(edit) & ~WS_BORDER);
        EXPECT_FALSE(robot::StyleOf(edit) & ES_READONLY);
        const int cw = 400;
        ExpectRect({8, m.Text("Message").cy + 16, cw, m.lineHeight + 6}, d, box, "container");
        ExpectRect({0, 0, cw - 33, m.lineHeight + 6}, box, edit, "path edit");
        ExpectRect({cw - 32, 0, 32, m.lineHeight + 6}, box, browse, "browse button");
        // Enter and Escape in the path edit are not handed on.
        robot::KeyTo(edit, VK_RETURN);
        robot::KeyTo(edit, VK_ESCAPE);
        ASSERT_TRUE(IsWindow(d));
        SetWindowTextA(edit, std::string(400, 'p').c_str());
        robot::Click(d, 1000);
    });
    EXPECT_EQ(std::string(259, 'p'), path);

    char fixed[260] = "D:\\fixed";
    call.markup = "<B128>Choose";
    call.value = fixed;
    robot::Show(call, [&](HWND d) {
        EXPECT_TRUE(robot::StyleOf(GetDlgItem(GetDlgItem(d, 401), 402)) & ES_READONLY);
        robot::Click(d, 1000);
    });
    EXPECT_STREQ("D:\\fixed", fixed);
}

}  // namespace
