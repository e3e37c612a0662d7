// The mark-up reader, the button specification and the list items, one row per input text.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "dialogs/rules/ButtonSpec.h"
#include "dialogs/rules/ListItems.h"
#include "dialogs/rules/MarkupReader.h"

namespace {

struct Tag {
    char letter;
    int32_t n, m;
    std::string label;
};

std::vector<Tag> ReadAll(const char* text)
{
    std::vector<Tag> tags;
    MarkupReader reader(text);
    MarkupTag t;
    while (reader.Next(&t)) {
        EXPECT_EQ(static_cast<size_t>(t.labelLength), std::string(t.label).size());
        tags.push_back(Tag{t.letter, t.n, t.m, t.label});
    }
    return tags;
}

struct TagRow {
    const char* text;
    std::vector<Tag> tags;
};

TEST(MarkupReader, ReadsEveryRow)
{
    const TagRow rows[] = {
        {nullptr, {}},
        {"", {}},
        {"no tags at all", {}},
        {"text first<S>shown", {{'S', 0, 0, "shown"}}},
        {"a<<b<S>x", {{'S', 0, 0, "x"}}},   // a doubled '<' before the first tag opens nothing
        {"<<<S>x", {{'S', 0, 0, "x"}}},
        {"<E10>", {{'E', 10, 0, ""}}},
        {"<E-3:20>body", {{'E', -3, 20, "body"}}},
        {"<S>a<<b<C1>c", {{'S', 0, 0, "a<b"}, {'C', 1, 0, "c"}}},
        {"<S>x<<", {{'S', 0, 0, "x<"}}},
        {"<S>x<", {{'S', 0, 0, "x"}}},
        {"<Sjunk 12>x", {{'S', 0, 0, "x"}}},
        {"<S", {{'S', 0, 0, ""}}},   // no '>': the tag takes the rest
        {"<S12 and more", {{'S', 12, 0, ""}}},
        {"<S>one\ntwo\r\n", {{'S', 0, 0, "one\ntwo\r\n"}}},
        {"<V->x", {{'V', 0, 0, "x"}}},
        {"<B:7>", {{'B', 0, 7, ""}}},
        {"<C1:-2>", {{'C', 1, 0, ""}}},   // M has no sign
        {"<C99999999999>", {{'C', INT32_MAX, 0, ""}}},
        {"<V-99999999999:99999999999>", {{'V', -INT32_MAX, INT32_MAX, ""}}},
        {"<E10><C15>I agree<F2>", {{'E', 10, 0, ""}, {'C', 15, 0, "I agree"}, {'F', 2, 0, ""}}},
        {"<>x<S>y", {{'>', 0, 0, "y"}}},   // the letter '>' is no closing: the tag runs to the next '>'
        {"<S>\xff\x80", {{'S', 0, 0, "\xff\x80"}}},
    };
    for (const TagRow& row : rows) {
        SCOPED_TRACE(row.text ? row.text : "(null)");
        std::vector<Tag> got = ReadAll(row.text);
        ASSERT_EQ(row.tags.size(), got.size());
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(row.tags[i].letter, got[i].letter);
            EXPECT_EQ(row.tags[i].n, got[i].n);
            EXPECT_EQ(row.tags[i].m, got[i].m);
            EXPECT_EQ(row.tags[i].label, got[i].label);
        }
    }
}

// A label longer than 255 characters is cut, and the tags after it are still read.
TEST(MarkupReader, LongLabelIsCutAndReadingGoesOn)
{
    std::string text = "<S>" + std::string(300, 'x') + "<C2>after";
    MarkupReader reader(text.c_str());
    MarkupTag t;
    ASSERT_TRUE(reader.Next(&t));
    EXPECT_EQ(255, t.labelLength);
    EXPECT_TRUE(t.labelCut);
    EXPECT_EQ(std::string(255, 'x'), t.label);
    ASSERT_TRUE(reader.Next(&t));
    EXPECT_EQ('C', t.letter);
    EXPECT_FALSE(t.labelCut);
    EXPECT_STREQ("after", t.label);
    EXPECT_FALSE(reader.Next(&t));

    // Exactly 255 characters, "<<" counting as one, is not cut.
    text = "<S>" + std::string(253, 'y') + "<<<<";
    MarkupReader exact(text.c_str());
    ASSERT_TRUE(exact.Next(&t));
    EXPECT_EQ(255, t.labelLength);
    EXPECT_FALSE(t.labelCut);
    EXPECT_EQ('<', t.label[254]);
}

struct ButtonRow {
    const char* spec;
    std::vector<std::string> labels;
    int32_t defaultIndex, cancelIndex;
    std::vector<bool> marksDefault;
};

TEST(ButtonSpec, ReadsEveryRow)
{
    const ButtonRow rows[] = {
        {nullptr, {"&OK"}, 0, 0, {true}},
        {"", {""}, 0, 0, {false}},
        {"-X", {"X"}, 0, 0, {false}},   // a lone button is default and cancel whatever its mark
        {"+&Continue|-&Abort", {"&Continue", "&Abort"}, 0, 1, {true, false}},
        {"+&Install FreeDos|&Modify current OS|-&Abort install",
         {"&Install FreeDos", "&Modify current OS", "&Abort install"}, 0, 2, {true, false, false}},
        {"+&Continue|-&Abort installation|&Show GPL license",
         {"&Continue", "&Abort installation", "&Show GPL license"}, 0, 1, {true, false, false}},
        {"A|B", {"A", "B"}, -1, -1, {false, false}},
        {"+A|+B|-C|-D", {"A", "B", "C", "D"}, 1, 3, {true, true, false, false}},   // the last mark wins
        {"+-A|B", {"-A", "B"}, 0, -1, {true, false}},   // only the first character marks
        {"-+A|B", {"+A", "B"}, -1, 0, {false, false}},
        {"A||B", {"A", "", "B"}, -1, -1, {false, false, false}},
        {"A|", {"A", ""}, -1, -1, {false, false}},
        {"|", {"", ""}, -1, -1, {false, false}},
    };
    for (const ButtonRow& row : rows) {
        SCOPED_TRACE(row.spec ? row.spec : "(null)");
        ButtonSpec spec(row.spec);
        ASSERT_EQ(static_cast<int32_t>(row.labels.size()), spec.count);
        for (int32_t i = 0; i < spec.count; ++i) {
            EXPECT_EQ(row.labels[i], spec.labels[i].text);
            EXPECT_EQ(static_cast<int32_t>(row.labels[i].size()), spec.labels[i].length);
            EXPECT_EQ(row.marksDefault[i], spec.labels[i].marksDefault);
        }
        EXPECT_EQ(row.defaultIndex, spec.defaultIndex);
        EXPECT_EQ(row.cancelIndex, spec.cancelIndex);
        EXPECT_FALSE(spec.labelsDropped);
    }
}

TEST(ButtonSpec, AccessKeyIsTheLetterAfterASingleAmpersand)
{
    const struct {
        const char* label;
        char key;
    } rows[] = {
        {"&Continue", 'c'}, {"Abort &install", 'i'}, {"&show", 's'}, {"&1st", '1'},
        {"Fish && Chips", 0}, {"A&&&B", 'b'}, {"&&&&", 0}, {"x&", 0}, {"&", 0}, {"", 0}, {nullptr, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label ? row.label : "(null)");
        EXPECT_EQ(row.key, AccessKey(row.label));
    }
}

// More labels than a dialog has places: the first 32 are kept, the rest and their marks are
// ignored, and a long label is cut to 255 characters.
TEST(ButtonSpec, LabelsAreBounded)
{
    std::string text = "+" + std::string(300, 'b');
    for (int i = 1; i < 40; ++i)
        text += "|b" + std::to_string(i);
    text += "|-cancel";
    ButtonSpec spec(text.c_str());
    EXPECT_EQ(32, spec.count);
    EXPECT_TRUE(spec.labelsDropped);
    EXPECT_EQ(255, spec.labels[0].length);
    EXPECT_EQ(std::string(255, 'b'), spec.labels[0].text);
    EXPECT_STREQ("b31", spec.labels[31].text);
    EXPECT_EQ(0, spec.defaultIndex);
    EXPECT_EQ(-1, spec.cancelIndex);
}

TEST(ListItems, SplitsAtBars)
{
    struct Row {
        const char* value;
        std::vector<std::string> items;
    } rows[] = {
        {nullptr, {}},
        {"", {}},
        {"A:", {"A:"}},
        {"A:|B:", {"A:", "B:"}},
        {"A:|", {"A:", ""}},
        {"|", {"", ""}},
        {"!red|?yellow", {"!red", "?yellow"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.value ? row.value : "(null)");
        ListItems items(row.value);
        char item[MARKUP_MAX_LABEL + 1];
        std::vector<std::string> got;
        while (items.Next(item))
            got.push_back(item);
        EXPECT_EQ(row.items, got);
        EXPECT_EQ(static_cast<int32_t>(row.items.size()), ListItems::Count(row.value));
    }
    std::string longItem = std::string(400, 'i') + "|next";
    ListItems items(longItem.c_str());
    char item[MARKUP_MAX_LABEL + 1];
    ASSERT_TRUE(items.Next(item));
    EXPECT_EQ(std::string(255, 'i'), item);
    ASSERT_TRUE(items.Next(item));
    EXPECT_STREQ("next", item);
}

}  // namespace
