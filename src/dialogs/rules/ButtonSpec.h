#pragma once
// Classes in this file: ButtonSpec, a button specification ("+&Continue|-&Abort") split into
// labels and marks; and AccessKey, the key a label underlines.
#include <cstdint>

#include "dialogs/rules/MarkupLimits.h"

class ButtonSpec {
public:
    // `spec` may be null, which stands for "+&OK".
    explicit ButtonSpec(const char* spec);

    struct Label {
        char text[MARKUP_MAX_LABEL + 1];   // without its '+' or '-' mark
        int32_t length;
        bool marksDefault;                 // carried '+': drawn as a default push button
    };
    Label labels[MARKUP_MAX_CONTROLS];
    int32_t count = 0;
    int32_t defaultIndex = -1;
    int32_t cancelIndex = -1;
    bool labelsDropped = false;   // more than MARKUP_MAX_CONTROLS labels; the rest are ignored
};

// The access key of a button or check-box label: the character after its first single '&'
// ("&&" shows one '&' and marks nothing), lower-cased for A to Z; 0 when the label has none.
char AccessKey(const char* label);
