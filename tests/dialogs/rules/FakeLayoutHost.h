#pragma once
// A LayoutHost with fixed text metrics for the layout tests and the fuzz target: every character
// is 6 pixels wide and every line 13 high, a client edge adds 2 pixels a side and a border 1,
// and a drop-down list's window is 20 pixels high however tall it was made.
#include <string>
#include <vector>

#include "dialogs/rules/DialogLayout.h"

class FakeLayoutHost final : public LayoutHost {
public:
    struct Made {
        ControlSpec spec;
        std::string text;
    };

    TextSize MeasureText(const char* text, bool) override
    {
        int32_t lines = 1, longest = 0, current = 0;
        for (const char* p = text; *p; ++p) {
            if (*p == '\n') {
                ++lines;
                current = 0;
            } else if (++current > longest) {
                longest = current;
            }
        }
        return TextSize{6 * longest, 13 * lines};
    }

    TextSize OuterSize(uint32_t style, uint32_t exStyle, TextSize client) override
    {
        const int32_t edge = ((exStyle & 0x200) ? 2 : 0) + ((style & 0x00800000) ? 1 : 0);
        return TextSize{client.width + 2 * edge, client.height + 2 * edge};
    }

    bool CreateControl(const ControlSpec& spec, TextSize* outer) override
    {
        for (int32_t id : failIds)
            if (id == spec.id)
                return false;
        made.push_back(Made{spec, spec.text ? spec.text : ""});
        *outer = TextSize{spec.width, spec.kind == CONTROL_DROPDOWN ? 20 : spec.height};
        return true;
    }

    std::vector<int32_t> failIds;
    std::vector<Made> made;
};

// 1024 x 768 screen, "WWWWWWWW" 75 x 13 (line height 13, character width 10), scroll bar 16,
// dialog frame 3, caption 19.
inline DialogMetrics FakeMetrics()
{
    DialogMetrics m{};
    m.screenWidth = 1024;
    m.screenHeight = 768;
    m.lineExtent = TextSize{75, 13};
    m.cxVScroll = 16;
    m.cxDlgFrame = 3;
    m.cyDlgFrame = 3;
    m.cyCaption = 19;
    return m;
}
