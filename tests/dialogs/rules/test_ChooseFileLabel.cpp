#include <gtest/gtest.h>

#include <string>

#include "dialogs/rules/ChooseFileLabel.h"

namespace {

// A literal with its embedded zeros, the one the compiler adds left out.
template <size_t N>
std::string Z(const char (&text)[N])
{
    return std::string(text, N - 1);
}

struct Row {
    const char* label;
    const char* title;
    std::string filter;   // every zero of the platform's list, the closing empty entry included
};

const Row kRows[] = {
    {"Choose the package folder", "Choose the package folder", Z("All files (*.*)\0*.*\0\0")},
    {"", "", Z("All files (*.*)\0*.*\0\0")},
    {"Open|Text files|*.txt|", "Open", Z("Text files\0*.txt\0\0")},
    {"Open|Text files|*.txt", "Open", Z("Text files\0*.txt\0\0")},
    {"Open|Text|*.txt|Images|*.bmp;*.pcx|", "Open", Z("Text\0*.txt\0Images\0*.bmp;*.pcx\0\0")},
    {"Open|Text|*.txt|Images|*.bmp;*.pcx", "Open", Z("Text\0*.txt\0Images\0*.bmp;*.pcx\0\0")},
    // Malformed lists still end properly: a lone description gets an empty pattern.
    {"Open|Text", "Open", Z("Text\0\0\0")},
    {"Open|Text|*.txt|Rest", "Open", Z("Text\0*.txt\0Rest\0\0\0")},
    {"Open|", "Open", Z("\0\0\0")},
    {"|All|*", "", Z("All\0*\0\0")},
};

}  // namespace

TEST(ChooseFileLabel, SplitsEveryRow)
{
    for (const Row& r : kRows) {
        SCOPED_TRACE(r.label);
        const ChooserLabel l = SplitChooserLabel(r.label);
        EXPECT_STREQ(r.title, l.title);
        EXPECT_EQ(r.filter, std::string(l.filter, l.filterLength));
    }
}

// A label past the dialog's 255 characters is cut, never copied past the record.
TEST(ChooseFileLabel, OverlongLabelIsCut)
{
    const std::string label = "T|" + std::string(400, 'd') + "|*.x";
    const ChooserLabel l = SplitChooserLabel(label.c_str());
    EXPECT_STREQ("T", l.title);
    EXPECT_EQ(std::string(253, 'd') + Z("\0\0\0"), std::string(l.filter, l.filterLength));
}
