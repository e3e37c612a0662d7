#include "dialogs/rules/ButtonSpec.h"

ButtonSpec::ButtonSpec(const char* spec)
{
    const char* p = spec ? spec : "+&OK";
    for (;;) {
        if (count == MARKUP_MAX_CONTROLS) {
            labelsDropped = true;
            break;
        }
        Label& label = labels[count];
        label.marksDefault = false;
        // Only the first character marks a label, so a label is never both default and cancel.
        if (*p == '+') {
            label.marksDefault = true;
            defaultIndex = count;
            ++p;
        } else if (*p == '-') {
            cancelIndex = count;
            ++p;
        }
        int32_t length = 0;
        while (*p && *p != '|') {
            if (length < MARKUP_MAX_LABEL)
                label.text[length++] = *p;
            ++p;
        }
        label.text[length] = '\0';
        label.length = length;
        ++count;
        if (*p != '|')
            break;
        ++p;
    }
    // A lone button must answer Enter, Escape and the close box alike.
    if (count == 1) {
        defaultIndex = 0;
        cancelIndex = 0;
    }
}

char AccessKey(const char* label)
{
    for (const char* p = label; p && *p; ++p) {
        if (*p != '&')
            continue;
        ++p;
        if (*p != '&') {
            // A '&' at the very end underlines nothing.
            return *p >= 'A' && *p <= 'Z' ? static_cast<char>(*p - 'A' + 'a') : *p;
        }
    }
    return 0;
}
