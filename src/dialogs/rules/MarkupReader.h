#pragma once
// MarkupReader: splits a mark-up text into its tags, each with its numbers and label.
#include <cstdint>

#include "dialogs/rules/MarkupLimits.h"

struct MarkupTag {
    char letter;        // the character after '<'
    int32_t n;          // first number, 0 when missing; saturates at +-2147483647
    int32_t m;          // number after ':', 0 when missing
    char label[MARKUP_MAX_LABEL + 1];
    int32_t labelLength;
    bool labelCut;      // the label had more than MARKUP_MAX_LABEL characters; the rest is skipped
};

class MarkupReader {
public:
    // `text` may be null; it must outlive the reader.
    explicit MarkupReader(const char* text);
    // Reads the next tag into `tag`; false when the text has no more tags.
    bool Next(MarkupTag* tag);

private:
    const char* at;   // the '<' of the next tag, or the terminating zero
};
