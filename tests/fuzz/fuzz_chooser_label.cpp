// Path field labels of any shape become a title and a filter list the platform can walk: the
// label is read no further than the dialog's 255 characters (ASan watches an allocation of
// exactly the input's size, with no zero when the input is that long), the list stays inside
// its record and ends with the empty entry, and together they say what the label said.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "dialogs/rules/ChooseFileLabel.h"

namespace {

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

struct Guarded {
    ChooserLabel label;
    char guard[16];
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A label shorter than 255 bytes ends with its zero; a longer one is handed without any.
    const bool terminated = size < ChooserLabel::TITLE_SIZE - 1;
    char* text = new char[terminated ? size + 1 : size];
    std::memcpy(text, data, size);
    if (terminated)
        text[size] = 0;
    // What the dialog would have shown: up to the first zero, at most 255 characters.
    const std::string label(text, strnlen(text, ChooserLabel::TITLE_SIZE - 1));

    Guarded out;
    std::memset(out.guard, 'G', sizeof out.guard);
    out.label = SplitChooserLabel(text);
    for (char c : out.guard)
        Check(c == 'G');
    const ChooserLabel& l = out.label;

    const size_t bar = label.find('|');
    Check(std::string(l.title) == label.substr(0, bar));
    Check(l.filterLength >= 3 && l.filterLength <= ChooserLabel::FILTER_SIZE);
    Check(l.filter[l.filterLength - 1] == 0 && l.filter[l.filterLength - 2] == 0);

    // Walk the list as the platform does, pairs of zero-ended texts up to an empty description:
    // every text ends inside the list.
    size_t at = 0;
    while (l.filter[at] != 0) {
        for (int half = 0; half < 2; ++half) {
            const void* end = std::memchr(l.filter + at, 0, l.filterLength - at);
            Check(end != nullptr);
            at = static_cast<size_t>(static_cast<const char*>(end) - l.filter) + 1;
            Check(at < l.filterLength);
        }
    }

    // Byte for byte: the parts after the title, each ended, a lone description given its empty
    // pattern, then the closing entry. Zeros read back as the label's '|'.
    std::string want = "All files (*.*)|*.*||";
    if (bar != std::string::npos) {
        want = label.substr(bar + 1);
        if (want.empty() || want.back() != '|')
            want += '|';
        size_t parts = 0;
        for (char c : want)
            parts += c == '|';
        if (parts % 2)
            want += '|';
        want += '|';
    }
    std::string got(l.filter, l.filterLength);
    for (char& c : got)
        if (c == 0)
            c = '|';
    Check(got == want);
    delete[] text;
    return 0;
}
