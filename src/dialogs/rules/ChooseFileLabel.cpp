#include "dialogs/rules/ChooseFileLabel.h"

#include <cstring>

ChooserLabel SplitChooserLabel(const char* label)
{
    ChooserLabel out{};
    const size_t length = strnlen(label, ChooserLabel::TITLE_SIZE - 1);
    const char* bar = static_cast<const char*>(memchr(label, '|', length));
    if (!bar) {
        memcpy(out.title, label, length);
        static const char kAllFiles[] = "All files (*.*)\0*.*\0";  // and the array's own zero
        memcpy(out.filter, kAllFiles, sizeof kAllFiles);
        out.filterLength = sizeof kAllFiles;
        return out;
    }
    const size_t titleLength = static_cast<size_t>(bar - label);
    memcpy(out.title, label, titleLength);
    // The rest of the label fits with room for the three zeros added below.
    size_t n = length - titleLength - 1;
    memcpy(out.filter, bar + 1, n);
    size_t parts = 0;
    for (size_t i = 0; i < n; ++i) {
        if (out.filter[i] == '|') {
            out.filter[i] = '\0';
            ++parts;
        }
    }
    // Every part needs its zero; a final '|' has already given the last one.
    if (n == 0 || out.filter[n - 1] != '\0') {
        out.filter[n++] = '\0';
        ++parts;
    }
    if (parts % 2 == 1)
        out.filter[n++] = '\0';  // the missing pattern of a lone description
    out.filter[n++] = '\0';      // the empty entry that ends the list
    out.filterLength = n;
    return out;
}
