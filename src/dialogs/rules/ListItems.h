#pragma once
// ListItems: the items of a list or drop-down list, taken from a value text split at '|'.
#include <cstdint>

#include "dialogs/rules/MarkupLimits.h"

class ListItems {
public:
    // `value` may be null; null and the empty text give no items. It must outlive the reader.
    explicit ListItems(const char* value);
    // Copies the next item, cut to MARKUP_MAX_LABEL characters, into `item`; false at the end.
    bool Next(char (&item)[MARKUP_MAX_LABEL + 1]);
    // The number of items of `value`.
    static int32_t Count(const char* value);

private:
    const char* at;   // start of the next item, or null at the end
};
