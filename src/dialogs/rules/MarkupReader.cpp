#include "dialogs/rules/MarkupReader.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Decimal digits at `p`, saturating so that an endless run of digits cannot overflow.
int32_t ReadDigits(const char*& p)
{
    int64_t value = 0;
    while (IsDigit(*p)) {
        value = value * 10 + (*p - '0');
        if (value > INT32_MAX)
            value = INT32_MAX;
        ++p;
    }
    return static_cast<int32_t>(value);
}

// Skips to the next '<' that is not doubled. A "<<" is one literal '<', so it never opens a tag.
const char* SkipToTag(const char* p)
{
    while (*p) {
        if (p[0] == '<') {
            if (p[1] != '<')
                break;
            p += 2;
        } else {
            ++p;
        }
    }
    return p;
}

}  // namespace

MarkupReader::MarkupReader(const char* text) : at(text ? SkipToTag(text) : "") {}

bool MarkupReader::Next(MarkupTag* tag)
{
    if (*at != '<' || at[1] == '\0')
        return false;
    const char* p = at + 1;
    tag->letter = *p++;
    tag->n = 0;
    tag->m = 0;
    bool negative = false;
    if (*p == '-') {
        negative = true;
        ++p;
    }
    tag->n = ReadDigits(p);
    if (negative)
        tag->n = -tag->n;
    if (*p == ':') {
        ++p;
        tag->m = ReadDigits(p);
    }
    while (*p && *p != '>')
        ++p;
    if (*p == '>')
        ++p;

    int32_t length = 0;
    bool cut = false;
    while (*p) {
        char c = *p;
        if (c == '<') {
            if (p[1] != '<')
                break;
            ++p;   // the doubled '<' stands for one
        }
        ++p;
        if (length < MARKUP_MAX_LABEL)
            tag->label[length++] = c;
        else
            cut = true;
    }
    tag->label[length] = '\0';
    tag->labelLength = length;
    tag->labelCut = cut;
    at = p;
    return true;
}
