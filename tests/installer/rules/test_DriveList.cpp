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
