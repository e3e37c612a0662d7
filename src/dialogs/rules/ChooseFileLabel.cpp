#include "dialogs/rules/ChooseFileLabel.h"

#include <algorithm>
#include <cstring>

ChooserLabel SplitChooserLabel(const char* label)
{
    ChooserLabel out;
    const char* bar = std::strchr(label, '|');
    if (!bar) {
        out.title = label;
        out.filter.assign("All files (*.*)\0*.*\0", 20);
        out.filter.push_back('\0');
        return out;
    }
    out.title.assign(label, bar - label);
    out.filter = bar + 1;
    std::replace(out.filter.begin(), out.filter.end(), '|', '\0');
    // Every part needs its zero; a final '|' has already given the last one.
    if (out.filter.empty() || out.filter.back() != '\0')
        out.filter.push_back('\0');
    const size_t parts = std::count(out.filter.begin(), out.filter.end(), '\0');
    if (parts % 2 == 1)
        out.filter.push_back('\0');   // the missing pattern of a lone description
    out.filter.push_back('\0');       // the empty entry that ends the list
    return out;
}
