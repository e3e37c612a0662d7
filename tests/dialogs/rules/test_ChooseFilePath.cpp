#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "dialogs/rules/ChooseFilePath.h"

namespace {

// A path buffer followed by guard bytes that no rule may touch.
struct Buffer {
    char path[CHOOSER_PATH_SIZE];
    char guard[16];
    explicit Buffer(const std::string& text)
    {
        std::memset(path, 'x', sizeof path);
        std::memset(guard, 'G', sizeof guard);
        std::memcpy(path, text.c_str(), std::min(text.size() + 1, sizeof path));
    }
    bool GuardIntact() const
    {
        for (char c : guard)
            if (c != 'G')
                return false;
        return true;
    }
};

struct PatternRow {
    int mode;
    const char* path;
    const char* expected;
};

const PatternRow kPatternRows[] = {
    {CHOOSE_FOLDER, "C:\\Data\\Work", "C:\\Data\\Work\\*.(.)"},
    {CHOOSE_FOLDER, "C:\\Data\\Work\\", "C:\\Data\\Work\\*.(.)"},
    {CHOOSE_FOLDER, "C:\\", "C:\\*.(.)"},
    {CHOOSE_FOLDER, "", "\\*.(.)"},   // an empty path does not end in '\'
    {CHOOSE_OPEN, "C:\\Data\\", "C:\\Data\\*.*"},
    {CHOOSE_OPEN, "C:\\Data\\report.txt", "C:\\Data\\report.txt"},
    {CHOOSE_OPEN, "", ""},
    {CHOOSE_SAVE, "A:\\", "A:\\*.*"},
    {CHOOSE_SAVE, "A:\\new.txt", "A:\\new.txt"},
    {3, "C:\\Data\\", "C:\\Data\\*.*"},      // out of range: the pattern step has run all the same
    {-1, "C:\\Data", "C:\\Data"},
};

}  // namespace

TEST(ChooseFilePath, AppendsThePatternOfEachMode)
{
    for (const PatternRow& r : kPatternRows) {
        SCOPED_TRACE(testing::Message() << "mode " << r.mode << " path \"" << r.path << "\"");
        Buffer b(r.path);
        EXPECT_EQ(1, AppendChooserPattern(b.path, r.mode));
        EXPECT_STREQ(r.expected, b.path);
    }
}

TEST(ChooseFilePath, PatternNeverWritesPastTheBuffer)
{
    // 253 characters leave room for the longest pattern; one more does not.
    const std::string fits = "C:\\" + std::string(250, 'a');
    Buffer b1(fits);
    EXPECT_EQ(1, AppendChooserPattern(b1.path, CHOOSE_FOLDER));
    EXPECT_EQ(fits + "\\*.(.)", b1.path);

    const std::string tooLong = fits + "b";
    Buffer b2(tooLong);
    EXPECT_EQ(0, AppendChooserPattern(b2.path, CHOOSE_FOLDER));
    EXPECT_EQ(tooLong, b2.path);
    EXPECT_TRUE(b2.GuardIntact());

    const std::string full = "C:\\" + std::string(255, 'c') + "\\";   // 259 characters
    Buffer b3(full);
    EXPECT_EQ(0, AppendChooserPattern(b3.path, CHOOSE_OPEN));
    EXPECT_EQ(full, b3.path);
    EXPECT_TRUE(b3.GuardIntact());

    // No zero anywhere in the buffer: it is cut to 259 characters and nothing is appended.
    Buffer b4("");
    std::memset(b4.path, 'z', sizeof b4.path);
    EXPECT_EQ(0, AppendChooserPattern(b4.path, CHOOSE_FOLDER));
    EXPECT_EQ(std::string(CHOOSER_PATH_SIZE - 1, 'z'), b4.path);
    EXPECT_TRUE(b4.GuardIntact());
}

TEST(ChooseFilePath, FolderMarkGoesOnAndComesOff)
{
    Buffer b("C:\\Data\\Work");
    EXPECT_EQ(1, AddFolderMark(b.path));
    EXPECT_STREQ("C:\\Data\\Work(.)", b.path);
    EXPECT_EQ(1, StripFolderMark(b.path));
    EXPECT_STREQ("C:\\Data\\Work", b.path);
    EXPECT_EQ(0, StripFolderMark(b.path));

    Buffer root("C:\\(.)");   // 6 characters: long enough
    EXPECT_EQ(1, StripFolderMark(root.path));
    EXPECT_STREQ("C:\\", root.path);
    Buffer tiny("C:(.)");     // 5 characters: too short to be a marked path
    EXPECT_EQ(0, StripFolderMark(tiny.path));
    EXPECT_STREQ("C:(.)", tiny.path);

    const std::string edge = "C:\\" + std::string(253, 'd');   // 256 + 3 = 259 still fits
    Buffer b2(edge);
    EXPECT_EQ(1, AddFolderMark(b2.path));
    EXPECT_EQ(edge + "(.)", b2.path);
    Buffer b3(edge + "e");
    EXPECT_EQ(0, AddFolderMark(b3.path));
    EXPECT_EQ(edge + "e", b3.path);
    EXPECT_TRUE(b3.GuardIntact());
}

TEST(ChooseFilePath, FileIsCutToItsFolder)
{
    struct Row {
        const char* path;
        int cut;
        const char* expected;
    } rows[] = {
        {"C:\\Data\\Work\\notes.txt", 1, "C:\\Data\\Work"},
        {"C:\\notes.txt", 1, "C:\\"},               // a drive root keeps its '\'
        {"\\\\server\\share\\a.txt", 1, "\\\\server\\share"},
        {"notes.txt", 0, "notes.txt"},
        {"\\a.txt", 0, "\\a.txt"},                  // last '\' among the first two characters
        {"x\\a.txt", 0, "x\\a.txt"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.path);
        Buffer b(r.path);
        EXPECT_EQ(r.cut, CutToFolder(b.path));
        EXPECT_STREQ(r.expected, b.path);
    }
}

TEST(ChooseFilePath, RecognisesFullPaths)
{
    for (const char* full : {"C:\\", "z:\\a\\b", "\\\\server\\share"})
        EXPECT_EQ(1, IsFullPath(full)) << full;
    for (const char* relative : {"C:", "C:a", "\\root", "new folder", "", "1:\\"})
        EXPECT_EQ(0, IsFullPath(relative)) << relative;
}
