#include <gtest/gtest.h>

#include "diskio/rules/FileMode.h"

namespace {
struct Row {
    uint32_t mode;
    uint32_t withDefaults, access, share, disposition, flags;
};

// One row per mode word: the bits after the defaults and the CreateFileA arguments they give.
const Row kRows[] = {
    {WF_READ, WF_READ | WF_MUST_EXIST, 0x80000000u, 0, 3, 0},
    {WF_WRITE, WF_WRITE | WF_TRUNCATE, 0x40000000u, 0, 2, 0},
    {WF_READ | WF_WRITE, WF_READ | WF_WRITE, 0xC0000000u, 0, 4, 0},
    {WF_WRITE | WF_APPEND, WF_WRITE | WF_APPEND, 0x40000000u, 0, 4, 0},
    {0, 0, 0, 0, 4, 0},
    {WF_READ | WF_TRUNCATE, WF_READ | WF_TRUNCATE | WF_MUST_EXIST, 0x80000000u, 0, 5, 0},
    {WF_WRITE | WF_MUST_EXIST, WF_WRITE | WF_MUST_EXIST | WF_TRUNCATE, 0x40000000u, 0, 5, 0},
    {WF_READ | WF_WRITE | WF_TRUNCATE, WF_READ | WF_WRITE | WF_TRUNCATE, 0xC0000000u, 0, 2, 0},
    {WF_READ | WF_WRITE | WF_MUST_EXIST, WF_READ | WF_WRITE | WF_MUST_EXIST, 0xC0000000u, 0, 3, 0},
    {WF_READ | WF_SHARE_READ | WF_SHARE_WRITE, WF_READ | WF_SHARE_READ | WF_SHARE_WRITE | WF_MUST_EXIST,
     0x80000000u, 3, 3, 0},
    {WF_READ | WF_WRITE | WF_WRITE_THROUGH | WF_DELETE_ON_CLOSE,
     WF_READ | WF_WRITE | WF_WRITE_THROUGH | WF_DELETE_ON_CLOSE, 0xC0000000u, 0, 4, 0x84000000u},
    // Bits without a meaning pass through the defaults and change nothing in the arguments.
    {WF_READ | WF_WRITE | WF_TEXT | 0x080 | 0x800, WF_READ | WF_WRITE | WF_TEXT | 0x080 | 0x800,
     0xC0000000u, 0, 4, 0},
};
}  // namespace

TEST(FileMode, MapsEveryRow)
{
    for (const Row& r : kRows) {
        SCOPED_TRACE(testing::Message() << "mode 0x" << std::hex << r.mode);
        const uint32_t m = AddDefaultCreationBits(r.mode);
        EXPECT_EQ(r.withDefaults, m);
        const FileOpenArgs a = MapFileMode(m);
        EXPECT_EQ(r.access, a.access);
        EXPECT_EQ(r.share, a.share);
        EXPECT_EQ(r.disposition, a.disposition);
        EXPECT_EQ(r.flags, a.flags);
    }
}
