#include <gtest/gtest.h>

#include "installer/rules/FileSystemCheck.h"

TEST(FileSystemCheck, NameMustBeginWithFatInAnyCase)
{
    for (const char* name : {"FAT", "FAT12", "FAT16", "FAT32", "fat", "Fat16", "fAT"})
        EXPECT_EQ(1, HasFatName(name)) << name;
    for (const char* name : {"NTFS", "", "F", "FA", "exFAT", "vfat", "CDFS", " FAT"})
        EXPECT_EQ(0, HasFatName(name)) << name;
}

TEST(FileSystemCheck, Fat32NameIsTheWholeNameInAnyCase)
{
    for (const char* name : {"FAT32", "fat32", "Fat32"})
        EXPECT_EQ(1, IsFat32Name(name)) << name;
    for (const char* name : {"FAT", "FAT12", "FAT16", "FAT3", "FAT320", "FAT32 ", "vFAT32", "NTFS", ""})
        EXPECT_EQ(0, IsFat32Name(name)) << name;
}

TEST(FileSystemCheck, ClusterCountStopsAtTheFirstFat32Size)
{
    EXPECT_EQ(1, HasFat16ClusterCount(0));
    EXPECT_EQ(1, HasFat16ClusterCount(360));
    EXPECT_EQ(1, HasFat16ClusterCount(65524));
    EXPECT_EQ(0, HasFat16ClusterCount(65525));
    EXPECT_EQ(0, HasFat16ClusterCount(76800));
    EXPECT_EQ(0, HasFat16ClusterCount(0xFFFFFFFFu));
}
