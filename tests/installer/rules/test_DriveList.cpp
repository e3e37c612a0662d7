#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "installer/rules/DriveList.h"

TEST(DriveList, OffersOnlyRemovableDrivesInLetterOrder)
{
    // A: removable, C: fixed, D: optical, E: removable, N: network, Z: removable.
    unsigned types[26] = {};
    types[0] = 2;
    types[2] = 3;
    types[3] = 5;
    types[4] = 2;
    types[13] = 4;
    types[25] = 2;
    const DriveList list = BuildDriveList(types);
    EXPECT_STREQ("A:|E:|Z:", list.text);
    ASSERT_EQ(3, list.count);
    EXPECT_EQ(0, list.drives[0]);
    EXPECT_EQ(4, list.drives[1]);
    EXPECT_EQ(25, list.drives[2]);
    EXPECT_EQ(0, ChosenDrive(list, 0));
    EXPECT_EQ(4, ChosenDrive(list, 1 << 16));
    EXPECT_EQ(25, ChosenDrive(list, (2 << 16) | 0x1234));  // the lower half is not the index
    EXPECT_EQ(-1, ChosenDrive(list, 3 << 16));
    EXPECT_EQ(-1, ChosenDrive(list, -1));
}

TEST(DriveList, AllAndNone)
{
    unsigned all[26];
    for (unsigned& t : all)
        t = 2;
    const DriveList full = BuildDriveList(all);
    EXPECT_EQ(77u, strlen(full.text));
    EXPECT_EQ(0, strncmp("A:|B:|C:", full.text, 8));
    EXPECT_EQ(25, ChosenDrive(full, 25 << 16));

    unsigned none[26] = {};
    const DriveList empty = BuildDriveList(none);
    EXPECT_STREQ("", empty.text);
    EXPECT_EQ(0, empty.count);
    EXPECT_EQ(-1, ChosenDrive(empty, 0));
}

TEST(DriveList, PathsInTheRootOfTheDrive)
{
    EXPECT_STREQ("A:\\", MakeDrivePath('A', "").text);
    EXPECT_STREQ("G:\\$ZEBCRO$.ZEB", MakeDrivePath('G', "$ZEBCRO$.ZEB").text);
    // 3 + 256 characters and the terminator fill the 260 bytes; one more is refused, not cut.
    const std::string longest(256, 'n');
    EXPECT_TRUE(MakeDrivePath('A', longest.c_str()).fits);
    EXPECT_EQ(259u, strlen(MakeDrivePath('A', longest.c_str()).text));
    const DrivePath tooLong = MakeDrivePath('A', (longest + "n").c_str());
    EXPECT_FALSE(tooLong.fits);
    EXPECT_STREQ("", tooLong.text);
}

TEST(DriveList, EntriesSayWhatEachDriveHolds)
{
    struct Row {
        DriveContents contents;
        const char* text;
        bool fat16;
    } rows[] = {
        {{true, "KESTICK", 2000000000ull, "FAT", 30000}, "E:  KESTICK  1.9 GB  FAT16", true},
        {{true, "", 1457664, "FAT", 2847}, "E:  1.4 MB  FAT12", true},
        {{true, "BIG", 32ull << 30, "FAT32", 1000000}, "E:  BIG  32 GB  FAT32", false},
        {{true, "SMALL32", 8u << 20, "FAT32", 16000}, "E:  SMALL32  8.0 MB  FAT32", false},
        {{true, "WIDE", 300u << 20, "FAT", 76800}, "E:  WIDE  300 MB  FAT32", false},  // only the size tells
        {{true, "NT", 64u << 20, "NTFS", 0}, "E:  NT  64 MB  NTFS", false},
        {{true, "A|B", 900, "FAT", 10}, "E:  A!B  900 bytes  FAT12", true},  // '|' would split the entry
        {{false, "", 0, "", 0}, "E:  no disk", false},
    };
    for (const Row& row : rows) {
        char text[80];
        DescribeDrive('E', row.contents, text, sizeof text);
        EXPECT_STREQ(row.text, text);
        EXPECT_EQ(row.fat16, HoldsFat16Volume(row.contents)) << row.text;
    }
    char small[8];
    DescribeDrive('E', rows[0].contents, small, sizeof small);  // cut, never past the buffer
    EXPECT_STREQ("E:  KES", small);
}
