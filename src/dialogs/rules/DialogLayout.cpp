#include "dialogs/rules/DialogLayout.h"

#include "dialogs/rules/ListItems.h"
#include "dialogs/rules/MarkupReader.h"

namespace {

// Window styles, by their Win32 values.
constexpr uint32_t kSeparatorStyle = 0x50001000;   // WS_CHILD|WS_VISIBLE|SS_SUNKEN
constexpr uint32_t kStaticStyle = 0x50000000;      // WS_CHILD|WS_VISIBLE
constexpr uint32_t kCheckStyle = 0x50010003;       // ...|WS_TABSTOP|BS_AUTOCHECKBOX
constexpr uint32_t kRadioStyle = 0x50010009;       // ...|WS_TABSTOP|BS_AUTORADIOBUTTON
constexpr uint32_t kEditLineStyle = 0x50011000;    // ...|WS_TABSTOP|ES_WANTRETURN
constexpr uint32_t kEditBoxStyle = 0x50011004;     // + ES_MULTILINE
constexpr uint32_t kEditScrollStyle = 0x50211044;  // + ES_MULTILINE|ES_AUTOVSCROLL|WS_VSCROLL
constexpr uint32_t kReadOnly = 0x800;              // ES_READONLY
constexpr uint32_t kClientEdge = 0x200;            // WS_EX_CLIENTEDGE
constexpr uint32_t kListStyle = 0x50811151;
constexpr uint32_t kVScroll = 0x00200000;          // WS_VSCROLL
constexpr uint32_t kDropDownStyle = 0x50810613;
constexpr uint32_t kPathStyle = 0x50010000;        // WS_CHILD|WS_VISIBLE|WS_TABSTOP
constexpr uint32_t kPathEditStyle = 0x50810000;    // + WS_BORDER
constexpr uint32_t kButtonStyle = 0x50010000;
constexpr uint32_t kDefButton = 0x1;               // BS_DEFPUSHBUTTON

constexpr int32_t kMargin = 8;        // left edge of every control, top of the message
constexpr int32_t kGap = 4;           // between controls
constexpr int32_t kIconWidth = 40;    // icon and its gap beside the message
constexpr int32_t kIconHeight = 32;

int32_t Clamp(int64_t v, int64_t low = -MARKUP_MAX_COORD)
{
    if (v < low)
        return static_cast<int32_t>(low);
    if (v > MARKUP_MAX_COORD)
        return MARKUP_MAX_COORD;
    return static_cast<int32_t>(v);
}

int32_t Size(int64_t v) { return Clamp(v, 0); }

int32_t Max(int32_t a, int32_t b) { return a > b ? a : b; }

ControlSpec Spec(ControlKind kind, const char* className, const char* text, uint32_t style, int32_t id)
{
    ControlSpec s{};
    s.kind = kind;
    s.className = className;
    s.text = text;
    s.style = style;
    s.id = id;
    s.x = kMargin;
    return s;
}

}  // namespace

DialogLayout::DialogLayout(LayoutHost& h, const DialogMetrics& m) : host(h), metrics(m)
{
    wrapWidth = Size(int64_t{m.screenWidth} - 100);
    lineHeight = Size(m.lineExtent.height);
    // Rounded up to whole pixels per character, so M characters always fit.
    charWidth = Size((int64_t{m.lineExtent.width} + 7) / 8);
}

TextSize DialogLayout::Measure(const char* text, bool editControl)
{
    TextSize s = host.MeasureText(text, editControl);
    int32_t width = s.width < wrapWidth ? s.width : wrapWidth;
    return TextSize{Size(width), Size(s.height)};
}

void DialogLayout::PlaceMessage(const char* text, bool icon)
{
    if (!text)
        text = "";
    if (!*text && !icon) {
        // No message area at all: the first control sits at the top edge.
        textHeight = 0;
        contentWidth = 0;
        y = 0;
        return;
    }
    TextSize s = Measure(*text ? text : " ", false);
    if (icon) {
        contentWidth = Size(int64_t{s.width} + kIconWidth);
        textHeight = Max(s.height, kIconHeight);
    } else {
        contentWidth = s.width;
        textHeight = s.height;
    }
    y = Clamp(int64_t{textHeight} + 16);
}

bool DialogLayout::Create(const ControlSpec& spec, TextSize* outer)
{
    if (!host.CreateControl(spec, outer))
        return false;
    outer->width = Size(outer->width);
    outer->height = Size(outer->height);
    PlacedControl& c = controls[controlCount++];
    c.id = spec.id;
    c.kind = spec.kind;
    c.x = spec.x;
    c.y = spec.y;
    c.width = outer->width;
    c.height = outer->height;
    return true;
}

void DialogLayout::AddMarkup(const char* markup, const char* value, int32_t valueSize,
                             int32_t stateWord, int32_t reserved)
{
    if (reserved < 0)
        reserved = 0;
    const int32_t room = reserved < MARKUP_MAX_CONTROLS ? MARKUP_MAX_CONTROLS - reserved : 0;
    MarkupReader reader(markup);
    MarkupTag tag;
    bool made = false;
    while (reader.Next(&tag)) {
        ControlSpec spec{};
        bool creates = true;
        switch (tag.letter) {
        case '=':
            spec = Spec(CONTROL_SEPARATOR, "STATIC", "", kSeparatorStyle, ID_SEPARATOR);
            spec.width = contentWidth;
            spec.height = 2;
            break;
        case 'S': {
            spec = Spec(CONTROL_STATIC, "STATIC", tag.label, kStaticStyle, ID_STATIC);
            TextSize s = Measure(tag.label, false);
            spec.width = s.width;
            spec.height = s.height;
            break;
        }
        case 'C':
        case 'R': {
            if (tag.n < 0 || tag.n > 15) {
                creates = false;
                break;
            }
            spec = Spec(CONTROL_CHECK, "BUTTON", tag.label, tag.letter == 'C' ? kCheckStyle : kRadioStyle,
                        ID_CHECK_FIRST + tag.n);
            TextSize s = Measure(tag.label, false);
            spec.width = Size(int64_t{s.width} + 32);
            spec.height = s.height;
            spec.checked = (stateWord >> tag.n) & 1;
            break;
        }
        case 'E':
        case 'L':
        case 'D':
        case 'B':
            creates = inputKind == CONTROL_NONE;
            break;
        case 'F':
            flags = tag.n;
            creates = false;
            break;
        case 'H':
            contentWidth = Max(contentWidth, Size(tag.n));
            creates = false;
            break;
        case 'V':
            y = Clamp(int64_t{y} + tag.n);
            creates = false;
            break;
        default:
            creates = false;
            break;
        }
        if (!creates)
            continue;
        if (controlCount >= room) {
            controlsDropped = true;
            continue;
        }
        const int32_t before = controlCount;
        TextSize outer{};
        switch (tag.letter) {
        case 'E':
            inputKind = CONTROL_EDIT;
            AddEdit(Spec(CONTROL_EDIT, "EDIT", value ? value : "", 0, ID_INPUT), value, valueSize, tag.n, tag.m);
            break;
        case 'L':
        case 'D':
            inputKind = tag.letter == 'L' ? CONTROL_LIST : CONTROL_DROPDOWN;
            AddList(tag.letter == 'L' ? Spec(CONTROL_LIST, "LISTBOX", "", kListStyle, ID_INPUT)
                                      : Spec(CONTROL_DROPDOWN, "COMBOBOX", "", kDropDownStyle, ID_INPUT),
                    value, tag.n, stateWord);
            break;
        case 'B':
            inputKind = CONTROL_PATH;
            browseMode = tag.n & 3;
            spec = Spec(CONTROL_PATH, "STATIC", tag.label, kPathStyle, ID_PATH);
            spec.text = tag.label;
            spec.width = 8;
            spec.height = Size(int64_t{lineHeight} + 6);
            spec.pathEditStyle = kPathEditStyle | ((tag.n & 0x80) ? kReadOnly : 0);
            spec.pathChildHeight = Size(int64_t{lineHeight} + 8);
            spec.y = y;
            Create(spec, &outer);
            break;
        default:
            spec.y = y;
            Create(spec, &outer);
            break;
        }
        if (controlCount > before) {
            const PlacedControl& c = controls[controlCount - 1];
            contentWidth = Max(contentWidth, c.width);
            y = Clamp(int64_t{y} + c.height + kGap);
            made = true;
        }
    }
    if (made)
        y = Clamp(int64_t{y} - kGap);
}

void DialogLayout::AddEdit(const ControlSpec& base, const char* value, int32_t valueSize, int32_t lines,
                           int32_t chars)
{
    ControlSpec spec = base;
    int64_t width = 100;
    int64_t height = lineHeight;
    if (value && *value) {
        TextSize s = Measure(value, true);
        width = s.width;
        height = s.height;
    }
    if (lines != 0)
        height = (lines < 0 ? -int64_t{lines} : int64_t{lines}) * lineHeight;
    if (chars != 0)
        width = int64_t{chars} * charWidth;
    spec.widthFromText = chars == 0 && value && *value;
    if (height <= lineHeight) {
        spec.style = kEditLineStyle;
    } else if (lines < 0) {
        spec.style = kEditBoxStyle;
    } else {
        spec.style = kEditScrollStyle;
        width += metrics.cxVScroll;
    }
    TextSize outer = host.OuterSize(spec.style, kClientEdge, TextSize{Size(width), Size(height)});
    spec.width = Size(int64_t{outer.width} + 4);
    spec.height = Size(int64_t{outer.height} + 6);
    if (valueSize < 2)
        spec.style |= kReadOnly;
    spec.exStyle = kClientEdge;
    spec.textLimit = valueSize > 1 ? valueSize - 1 : 0;
    spec.y = y;
    Create(spec, &outer);
}

void DialogLayout::AddList(ControlSpec spec, const char* value, int32_t rows, int32_t stateWord)
{
    int32_t widest = 0;
    ListItems items(value);
    char item[MARKUP_MAX_LABEL + 1];
    while (items.Next(item))
        widest = Max(widest, Measure(item, false).width);
    spec.itemCount = ListItems::Count(value);
    int64_t width = int64_t{widest} + 8;
    int64_t height = int64_t{MARKUP_ITEM_HEIGHT} * spec.itemCount;
    if (spec.kind == CONTROL_LIST) {
        if (rows != 0) {
            height = int64_t{rows} * MARKUP_ITEM_HEIGHT;
            spec.style |= kVScroll;
            width += metrics.cxVScroll;
        }
    } else {
        height = 32;
    }
    TextSize outer = host.OuterSize(spec.style, 0, TextSize{Size(width), Size(height)});
    spec.width = Size(outer.width);
    spec.height = Size(outer.height);
    spec.items = value;
    // Arithmetic shift: a negative word selects nothing.
    spec.select = stateWord >> 16;
    spec.y = y;
    Create(spec, &outer);
}

void DialogLayout::AddButtons(const ButtonSpec& buttons, int32_t stateWord)
{
    y = Clamp(int64_t{y} + kGap);
    int64_t x = kMargin;
    defaultIndex = buttons.defaultIndex;
    cancelIndex = buttons.cancelIndex;
    for (int32_t i = 0; i < buttons.count && controlCount < MARKUP_MAX_CONTROLS; ++i) {
        const ButtonSpec::Label& label = buttons.labels[i];
        TextSize s = Measure(label.text, false);
        ControlSpec spec = Spec(CONTROL_BUTTON, "BUTTON", label.text,
                                kButtonStyle | (label.marksDefault ? kDefButton : 0), ID_BUTTON_FIRST + i);
        spec.x = Clamp(x);
        spec.y = y;
        spec.width = Size(int64_t{s.width} + 48);
        spec.height = Size(int64_t{s.height} + 8);
        TextSize outer{};
        if (!Create(spec, &outer))
            continue;
        x += int64_t{outer.width} + 8;
        buttonHeight = Max(buttonHeight, outer.height);
    }
    rowWidth = Clamp(x - 16);
    contentWidth = Max(contentWidth, rowWidth);
    y = Clamp(int64_t{y} + buttonHeight + 8);
    defaultDisabled = (flags & MARKUP_FLAG_ACCEPT) && !(stateWord & 0x8000) && defaultIndex >= 0;
}

void DialogLayout::Finish()
{
    const int32_t shift = (contentWidth - rowWidth) / 2;
    for (int32_t i = 0; i < controlCount; ++i) {
        PlacedControl& c = controls[i];
        if (c.kind == CONTROL_BUTTON)
            c.x = Clamp(int64_t{c.x} + shift);
        else
            c.width = contentWidth;
    }
    windowWidth = Size(int64_t{contentWidth} + 16 + 2 * int64_t{metrics.cxDlgFrame});
    windowHeight = Size(int64_t{y} + metrics.cyCaption + 2 * int64_t{metrics.cyDlgFrame});
    windowX = Clamp((int64_t{metrics.screenWidth} - windowWidth) / 2);
    windowY = Clamp((int64_t{metrics.screenHeight} - windowHeight) / 2);
}
