// The dialog layout, one row per message and mark-up text: the controls it creates with their
// identifiers, styles and final rectangles, and the window's size and place. The fake host
// measures 6 pixels a character and 13 a line (see FakeLayoutHost.h).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeLayoutHost.h"
#include "dialogs/rules/DialogLayout.h"

namespace {

struct Control {
    int32_t id;
    uint32_t style;
    int32_t x, y, width, height;
};

struct Row {
    const char* text;
    bool icon;
    const char* markup;
    const char* buttons;
    const char* value;
    int32_t valueSize;
    int32_t state;
    std::vector<Control> controls;
    int32_t windowWidth, windowHeight;
};

struct Result {
    FakeLayoutHost host;
    DialogLayout layout{host, FakeMetrics()};
};

void Lay(Result& r, const char* text, bool icon, const char* markup, const char* buttons, const char* value,
         int32_t valueSize, int32_t state)
{
    ButtonSpec spec(buttons);
    r.layout.PlaceMessage(text, icon);
    r.layout.AddMarkup(markup, value, valueSize, state, spec.count);
    r.layout.AddButtons(spec, state);
    r.layout.Finish();
}

const Row kRows[] = {
    // The licence question: a read-only box of 10 lines with a scroll bar, the acceptance box,
    // a button row wider than the rest and therefore not shifted.
    {"Hello", true, "<E10><C15>Agree<F2>", "+&Continue|-&Abort", "ab\ncdef", 0, 0,
     {{400, 0x50211844, 8, 48, 194, 140},
      {515, 0x50010003, 8, 192, 194, 13},
      {1000, 0x50010001, 8, 209, 102, 21},
      {1001, 0x50010000, 118, 209, 84, 21}},
     216, 263},
    // The drive question: a static text over a drop-down list, no message area.
    {"", false, "<S>Pick\nnow<D>", nullptr, "A:|B:", 0, 1 << 16,
     {{-1, 0x50000000, 8, 0, 66, 26},
      {400, 0x50810613, 8, 30, 66, 20},
      {1000, 0x50010001, 8, 54, 66, 21}},
     88, 108},
    // Text before the first tag, "<<" in a label, C16, V-10 and H300; a row of two buttons
    // without marks centred over 300 pixels.
    {"Hi", false, "junk<<S>x<S>a<<b<C16>no<V-10><S>c<H300>", "A|B", nullptr, 0, 0,
     {{-1, 0x50000000, 8, 29, 300, 13},
      {-1, 0x50000000, 8, 36, 300, 13},
      {1000, 0x50010000, 100, 53, 54, 21},
      {1001, 0x50010000, 162, 53, 54, 21}},
     322, 107},
    // A list of 3 visible rows with a scroll bar; the single button is centred.
    {"", false, "<L3>", "-X", "one|!three", 0, 0,
     {{400, 0x50A11151, 8, 0, 62, 47},
      {1000, 0x50010000, 12, 51, 54, 21}},
     84, 105},
    // The second input control is dropped; an empty edit is 100 wide and one line high.
    {"", false, "<E><E:5><L>", nullptr, "", 6, 0,
     {{400, 0x50011000, 8, 0, 108, 23},
      {1000, 0x50010001, 29, 27, 66, 21}},
     130, 81},
    // Negative lines: a multi-line box without scroll bar, M characters wide.
    {"", false, "<E-3:20>", nullptr, "x", 0, 0,
     {{400, 0x50011804, 8, 0, 208, 49},
      {1000, 0x50010001, 79, 53, 66, 21}},
     230, 107},
    // One line asked for: a single-line field, whatever the value's lines.
    {"", false, "<E1>", nullptr, "a\nb\nc", 2, 0,
     {{400, 0x50011000, 8, 0, 66, 23},
      {1000, 0x50010001, 8, 27, 66, 21}},
     88, 81},
    // The path field's container.
    {"", false, "<B129>Title|Desc|*.x|", nullptr, nullptr, 0, 0,
     {{401, 0x50010000, 8, 0, 66, 19},
      {1000, 0x50010001, 8, 23, 66, 21}},
     88, 77},
    // A separator takes the content width of its moment, and the final one after stretching.
    {"Hello", false, "<=><S>long label here<R3>radio", nullptr, nullptr, 0, 8,
     {{101, 0x50001000, 8, 29, 90, 2},
      {-1, 0x50000000, 8, 35, 90, 13},
      {503, 0x50010009, 8, 52, 90, 13},
      {1000, 0x50010001, 20, 69, 66, 21}},
     112, 123},
    // An icon with an empty message keeps 40 pixels beside a blank and 32 pixels of height.
    {"", true, "<S>x", nullptr, nullptr, 0, 0,
     {{-1, 0x50000000, 8, 48, 66, 13},
      {1000, 0x50010001, 8, 65, 66, 21}},
     88, 119},
    // The wrap width caps a long message: 924 pixels on a 1024-pixel screen.
    {"a message far longer than the wrap width of the dialog, which is the screen width minus one "
     "hundred pixels, so that the measured width is capped there and not a pixel wider than that "
     "and certainly not wider than the screen",
     false, nullptr, nullptr, nullptr, 0, 0,
     {{1000, 0x50010001, 437, 33, 66, 21}},
     946, 87},
};

TEST(DialogLayout, LaysOutEveryRow)
{
    for (const Row& row : kRows) {
        SCOPED_TRACE(std::string(row.markup ? row.markup : "(no mark-up)") + " / " + row.text);
        Result r;
        Lay(r, row.text, row.icon, row.markup, row.buttons, row.value, row.valueSize, row.state);
        ASSERT_EQ(static_cast<int32_t>(row.controls.size()), r.layout.controlCount);
        for (int32_t i = 0; i < r.layout.controlCount; ++i) {
            SCOPED_TRACE(i);
            const Control& e = row.controls[i];
            const PlacedControl& c = r.layout.controls[i];
            EXPECT_EQ(e.id, c.id);
            EXPECT_EQ(e.style, r.host.made[i].spec.style);
            EXPECT_EQ(e.x, c.x);
            EXPECT_EQ(e.y, c.y);
            EXPECT_EQ(e.width, c.width);
            EXPECT_EQ(e.height, c.height);
        }
        EXPECT_EQ(row.windowWidth, r.layout.windowWidth);
        EXPECT_EQ(row.windowHeight, r.layout.windowHeight);
        EXPECT_EQ((1024 - row.windowWidth) / 2, r.layout.windowX);
        EXPECT_EQ((768 - row.windowHeight) / 2, r.layout.windowY);
    }
}

TEST(DialogLayout, ControlExtrasComeFromTheMarkupAndTheState)
{
    Result r;
    Lay(r, "Hello", true, "<E10><C15>Agree<C3>x<F2>", "+&Continue|-&Abort", "text", 0, 8);
    EXPECT_EQ(32, r.layout.textHeight);
    EXPECT_EQ(2, r.layout.flags);
    EXPECT_EQ(CONTROL_EDIT, r.layout.inputKind);
    EXPECT_EQ(0, r.layout.defaultIndex);
    EXPECT_EQ(1, r.layout.cancelIndex);
    EXPECT_TRUE(r.layout.defaultDisabled);   // flag 2 and bit 15 clear
    EXPECT_EQ(0x200u, r.host.made[0].spec.exStyle);
    EXPECT_STREQ("text", r.host.made[0].text.c_str());
    EXPECT_EQ(0, r.host.made[0].spec.textLimit);
    EXPECT_FALSE(r.host.made[1].spec.checked);   // box 15
    EXPECT_TRUE(r.host.made[2].spec.checked);    // box 3, bit 3 of the state word

    Result accepted;
    Lay(accepted, "", false, "<C15>Agree<F2>", "+&Continue|-&Abort", nullptr, 0, 0x8000);
    EXPECT_FALSE(accepted.layout.defaultDisabled);

    // A lone button is the default one even unmarked, so the acceptance box holds it too.
    Result lone;
    Lay(lone, "", false, "<C15>Agree<F2>", "Go", nullptr, 0, 0);
    EXPECT_TRUE(lone.layout.defaultDisabled);

    Result list;
    Lay(list, "", false, "<D>", nullptr, "A:|B:|C:", 0, (2 << 16) | 1);
    EXPECT_EQ(CONTROL_DROPDOWN, list.layout.inputKind);
    EXPECT_EQ(2, list.host.made[0].spec.select);
    EXPECT_EQ(3, list.host.made[0].spec.itemCount);
    EXPECT_EQ(std::string("A:|B:|C:"), list.host.made[0].spec.items);

    Result negative;
    Lay(negative, "", false, "<L>", nullptr, "A:", 0, -1);
    EXPECT_EQ(-1, negative.host.made[0].spec.select);   // arithmetic shift: nothing selected

    Result path;
    Lay(path, "", false, "<B130>Pick", nullptr, nullptr, 0, 0);
    EXPECT_EQ(CONTROL_PATH, path.layout.inputKind);
    EXPECT_EQ(2, path.layout.browseMode);
    EXPECT_EQ(0x50810800u, path.host.made[0].spec.pathEditStyle);
    EXPECT_EQ(21, path.host.made[0].spec.pathChildHeight);
    EXPECT_EQ(std::string("Pick"), path.host.made[0].text);

    Result edit;
    Lay(edit, "", false, "<E>", nullptr, "abc", 10, 0);
    EXPECT_EQ(9, edit.host.made[0].spec.textLimit);
}

// A control the system could not create is not counted and does not move the next one.
TEST(DialogLayout, FailedControlTakesNoRoom)
{
    Result r;
    r.host.failIds = {502};
    Lay(r, "", false, "<C1>a<C2>b<C3>c", nullptr, nullptr, 0, 0);
    ASSERT_EQ(3, r.layout.controlCount);
    EXPECT_EQ(501, r.layout.controls[0].id);
    EXPECT_EQ(503, r.layout.controls[1].id);
    EXPECT_EQ(17, r.layout.controls[1].y);
}

// More tags than places: the buttons keep theirs, the extra controls are not made, and the tags
// after them are still read.
TEST(DialogLayout, AtMostThirtyTwoControls)
{
    std::string markup;
    for (int i = 0; i < 40; ++i)
        markup += "<S>s" + std::to_string(i);
    markup += "<F2><H500>";
    Result r;
    Lay(r, "", false, markup.c_str(), "+A|-B|C", nullptr, 0, 0);
    EXPECT_EQ(32, r.layout.controlCount);
    EXPECT_TRUE(r.layout.controlsDropped);
    EXPECT_EQ(1002, r.layout.controls[31].id);
    EXPECT_EQ("s28", r.host.made[28].text);
    EXPECT_EQ(2, r.layout.flags);
    EXPECT_EQ(500, r.layout.contentWidth);
}

// Open-ended numbers cannot push the arithmetic past what a window can be.
TEST(DialogLayout, HugeNumbersStayBounded)
{
    Result r;
    Lay(r, "", false, "<V2147483647><H2147483647><S>x<E99999999:99999999>", nullptr, "v", 0, 0);
    EXPECT_EQ(MARKUP_MAX_COORD, r.layout.contentWidth);
    EXPECT_LE(r.layout.windowWidth, MARKUP_MAX_COORD);
    EXPECT_LE(r.layout.windowHeight, MARKUP_MAX_COORD);
    for (int32_t i = 0; i < r.layout.controlCount; ++i) {
        EXPECT_LE(r.layout.controls[i].y, MARKUP_MAX_COORD);
        EXPECT_LE(r.layout.controls[i].height, MARKUP_MAX_COORD);
    }
    Result up;
    Lay(up, "", false, "<V-2147483647><S>x", nullptr, nullptr, 0, 0);
    EXPECT_EQ(-MARKUP_MAX_COORD, up.layout.controls[0].y);
    EXPECT_EQ(0, up.layout.windowHeight);
}

}  // namespace
