#pragma once
// Classes in this file: TextSize, DialogMetrics, ControlSpec, LayoutHost, PlacedControl, DialogLayout.
//
// The layout of the mark-up dialog: which controls a message, a mark-up text and a button
// specification produce, with their classes, styles, identifiers, positions and sizes, and the
// size and place of the window. The window system is reached only through LayoutHost, which
// measures text and creates the controls, so the arithmetic is tested and fuzzed natively.
#include <cstdint>

#include "dialogs/rules/ButtonSpec.h"
#include "dialogs/rules/MarkupLimits.h"

struct TextSize {
    int32_t width;
    int32_t height;
};

// The numbers the layout takes from the system, read once per dialog.
struct DialogMetrics {
    int32_t screenWidth, screenHeight;   // SM_CXSCREEN, SM_CYSCREEN
    TextSize lineExtent;                 // "WWWWWWWW" in the dialog font (GetTextExtentPoint32)
    int32_t cxVScroll;                   // SM_CXVSCROLL
    int32_t cxDlgFrame, cyDlgFrame;      // SM_CXDLGFRAME, SM_CYDLGFRAME
    int32_t cyCaption;                   // SM_CYCAPTION
};

enum ControlKind : uint8_t {
    CONTROL_SEPARATOR,
    CONTROL_STATIC,
    CONTROL_CHECK,      // check box or radio button
    CONTROL_EDIT,
    CONTROL_LIST,
    CONTROL_DROPDOWN,
    CONTROL_PATH,       // container with an edit and a browse button
    CONTROL_BUTTON,
    CONTROL_NONE,       // no control: a dialog without an input control
};

// One control to create, as the host's CreateWindowEx should see it.
struct ControlSpec {
    ControlKind kind;
    const char* className;
    const char* text;
    uint32_t style;
    uint32_t exStyle;
    int32_t id;
    int32_t x, y, width, height;
    bool checked;          // check box or radio button starts checked
    int32_t textLimit;     // edit field: EM_LIMITTEXT characters, 0 for none
    bool widthFromText;    // edit field: as wide as its measured text, so its margins must fit too
    const char* items;     // list and drop-down list: the value text to split with ListItems
    int32_t itemCount;
    int32_t select;        // list and drop-down list: index to select (may be out of range)
    uint32_t pathEditStyle;   // path field: style of the edit inside the container
    int32_t pathChildHeight;  // path field: height of the edit and the browse button
};

class LayoutHost {
public:
    // DrawText's calculated size of `text` word-wrapped in the wrap width (DT_EDITCONTROL for the
    // content of an edit field when `editControl`).
    virtual TextSize MeasureText(const char* text, bool editControl) = 0;
    // AdjustWindowRectEx of a client size for a style and extended style.
    virtual TextSize OuterSize(uint32_t style, uint32_t exStyle, TextSize client) = 0;
    // Creates the control with its extras (items, check mark, font, subclass) and reports its
    // window size as the system made it; false when the control could not be created.
    virtual bool CreateControl(const ControlSpec& spec, TextSize* outer) = 0;

protected:
    ~LayoutHost() = default;
};

struct PlacedControl {
    int32_t id;
    ControlKind kind;
    int32_t x, y, width, height;   // the window rectangle, in the dialog's client coordinates
};

class DialogLayout {
public:
    DialogLayout(LayoutHost& host, const DialogMetrics& metrics);

    // The message text (may be null) and whether an icon goes beside it.
    void PlaceMessage(const char* text, bool icon);
    // Reads the mark-up (may be null) and creates its controls. `value` and `valueSize` are the
    // caller's; `reserved` places are kept for the buttons.
    void AddMarkup(const char* markup, const char* value, int32_t valueSize, int32_t stateWord,
                   int32_t reserved);
    void AddButtons(const ButtonSpec& buttons, int32_t stateWord);
    // Stretches the mark-up controls, centres the button row and sizes and places the window.
    void Finish();

    int32_t wrapWidth;
    int32_t lineHeight;
    int32_t charWidth;
    int32_t textHeight = 0;
    int32_t contentWidth = 0;
    int32_t y = 0;
    int32_t flags = 0;
    ControlKind inputKind = CONTROL_NONE;  // the one input control: edit, list, drop-down or path
    int32_t browseMode = 0;
    int32_t defaultIndex = -1;
    int32_t cancelIndex = -1;
    bool defaultDisabled = false;
    bool controlsDropped = false;   // more controls than places: the extra ones were not created
    int32_t rowWidth = 0;
    int32_t buttonHeight = 0;
    int32_t controlCount = 0;
    PlacedControl controls[MARKUP_MAX_CONTROLS];
    int32_t windowX = 0, windowY = 0, windowWidth = 0, windowHeight = 0;

private:
    TextSize Measure(const char* text, bool editControl);
    bool Create(const ControlSpec& spec, TextSize* outer);
    void AddEdit(const ControlSpec& base, const char* value, int32_t valueSize, int32_t lines,
                 int32_t chars);
    void AddList(ControlSpec spec, const char* value, int32_t rows, int32_t stateWord);

    LayoutHost& host;
    DialogMetrics metrics;
};
