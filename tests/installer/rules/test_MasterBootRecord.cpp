#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "installer/rules/MasterBootRecord.h"

namespace {
struct E {
    uint8_t status, type;
    uint32_t first, count;
};

enum Code { NO_CODE, ZERO_FILL = NO_CODE, FF_FILL, SOME_CODE };

struct Sector {
    uint8_t bytes[kMbrSize];
};

Sector MakeMbr(std::vector<E> entries, Code code = SOME_CODE, bool signature = true)
{
    Sector s{};
    if (code == FF_FILL)
        memset(s.bytes, 0xFF, kMbrCodeSize);
    if (code == SOME_CODE)
        for (size_t i = 0; i < kMbrCodeSize; ++i)
            s.bytes[i] = static_cast<uint8_t>(i * 13 + 5);
    for (size_t i = kMbrCodeSize; i < kMbrTableOffset; ++i)
        s.bytes[i] = static_cast<uint8_t>(0xA0 + i);  // disk signature and the two bytes after it
    for (size_t n = 0; n < entries.size(); ++n) {
        uint8_t* p = s.bytes + kMbrTableOffset + n * kMbrEntrySize;
        p[0] = entries[n].status;
        p[1] = 0xFE, p[2] = 0xFF, p[3] = 0xFF;  // CHS fields the rules must not care about
        p[4] = entries[n].type;
        p[5] = 0x12, p[6] = 0x34, p[7] = 0x56;
        for (int b = 0; b < 4; ++b) {
            p[8 + b] = static_cast<uint8_t>(entries[n].first >> (8 * b));
            p[12 + b] = static_cast<uint8_t>(entries[n].count >> (8 * b));
        }
    }
    if (signature)
        s.bytes[510] = 0x55, s.bytes[511] = 0xAA;
    return s;
}

constexpr uint32_t kDisk = 131072;  // 64 MiB
constexpr uint8_t A = kMbrActive;
constexpr uint8_t FAT16 = 0x06, FAT32 = 0x0C, EXT = 0x05;

struct Row {
    const char* name;
    Sector sector;
    uint32_t volumeFirst;
    uint64_t diskSectors;
    MbrState state;
    int entry;
    bool active;
    bool hasCode;
};

const Row kRows[] = {
    // What a stick holds from the factory or after Windows' Format, and what it holds when it starts.
    {"factory: no code, not active", MakeMbr({{0, FAT16, 2048, kDisk - 2048}}, NO_CODE), 2048, kDisk,
     MBR_NEEDS_CHANGE, 0, false, false},
    {"filled with FFh: no code", MakeMbr({{A, FAT16, 2048, kDisk - 2048}}, FF_FILL), 2048, kDisk, MBR_NEEDS_CHANGE,
     0, true, false},
    {"code but not active", MakeMbr({{0, FAT16, 63, kDisk - 63}}), 63, kDisk, MBR_NEEDS_CHANGE, 0, false, true},
    {"starts ours", MakeMbr({{A, FAT16, 2048, kDisk - 2048}}), 2048, kDisk, MBR_STARTABLE, 0, true, true},
    {"ours in the third entry", MakeMbr({{}, {}, {A, FAT16, 2048, 4096}}), 2048, kDisk, MBR_STARTABLE, 2, true, true},
    {"the other entry is active", MakeMbr({{A, FAT32, 2048, 2048}, {0, FAT16, 4096, 4096}}), 4096, kDisk,
     MBR_NEEDS_CHANGE, 1, false, true},
    {"two active entries", MakeMbr({{A, FAT32, 2048, 2048}, {A, FAT16, 4096, 4096}}), 4096, kDisk,
     MBR_NEEDS_CHANGE, 1, false, true},
    {"ending at the last sector", MakeMbr({{A, FAT16, 2048, kDisk - 2048}}), 2048, kDisk, MBR_STARTABLE, 0, true,
     true},
    // Touch nothing.
    {"no signature", MakeMbr({{0, FAT16, 2048, kDisk - 2048}}, NO_CODE, false), 2048, kDisk, MBR_NOT_MBR, -1, false,
     false},
    {"a status byte that is neither 0 nor 80h", MakeMbr({{0x01, FAT16, 2048, 4096}}), 2048, kDisk, MBR_NOT_MBR, -1,
     false, false},
    {"an unused entry marked active", MakeMbr({{0, FAT16, 2048, 4096}, {A, 0, 0, 0}}), 2048, kDisk, MBR_NOT_MBR, -1,
     false, false},
    {"an entry starting at sector 0", MakeMbr({{0, FAT16, 0, 4096}}), 2048, kDisk, MBR_NOT_MBR, -1, false, false},
    {"an entry of no sectors", MakeMbr({{0, FAT16, 2048, 4096}, {0, FAT16, 8192, 0}}), 2048, kDisk, MBR_NOT_MBR, -1,
     false, false},
    {"GPT", MakeMbr({{0, kMbrTypeGpt, 1, kDisk - 1}}), 2048, kDisk, MBR_GPT, -1, false, false},
    {"GPT beside a FAT entry", MakeMbr({{0, FAT16, 2048, 4096}, {0, kMbrTypeGpt, 1, 2047}}), 2048, kDisk, MBR_GPT,
     -1, false, false},
    {"no entry at the volume", MakeMbr({{0, FAT16, 63, kDisk - 63}}), 2048, kDisk, MBR_NO_ENTRY, -1, false, false},
    {"an empty table", MakeMbr({}), 2048, kDisk, MBR_NO_ENTRY, -1, false, false},
    {"the extended entry at the volume", MakeMbr({{0, EXT, 2048, 4096}}), 2048, kDisk, MBR_NO_ENTRY, -1, false,
     false},
    {"two entries at the volume", MakeMbr({{0, FAT16, 2048, 2048}, {0, FAT16, 2048, 2048}}), 2048, kDisk, MBR_OVERLAP,
     -1, false, false},
    {"overlapping entries", MakeMbr({{0, FAT16, 2048, 4096}, {0, FAT32, 6143, 100}}), 2048, kDisk, MBR_OVERLAP, -1,
     false, false},
    {"one sector past the disk", MakeMbr({{0, FAT16, 2048, kDisk - 2047}}), 2048, kDisk, MBR_PAST_DISK, -1, false,
     false},
    {"another entry past the disk", MakeMbr({{0, FAT16, 2048, 4096}, {0, FAT16, 8192, kDisk}}), 2048, kDisk,
     MBR_PAST_DISK, -1, false, false},
    {"an entry past 2^32 sectors", MakeMbr({{0, FAT16, 0xFFFFFFF0u, 0x20}}), 0xFFFFFFF0u, 0xFFFFFFFFull,
     MBR_PAST_DISK, -1, false, false},
    {"disk size unknown", MakeMbr({{0, FAT16, 2048, 4096}}), 2048, 0, MBR_PAST_DISK, -1, false, false},
};

TEST(MasterBootRecord, ReadsWhatTheTableSays)
{
    for (const Row& row : kRows) {
        const MbrReading r = ReadMasterBootRecord(row.sector.bytes, row.volumeFirst, row.diskSectors);
        EXPECT_EQ(row.state, r.state) << row.name;
        EXPECT_EQ(row.entry, r.entry) << row.name;
        EXPECT_EQ(row.active, r.active) << row.name;
        EXPECT_EQ(row.hasCode, r.hasCode) << row.name;
    }
}

const uint8_t* OurCode()
{
    static uint8_t code[kMbrCodeSize];
    for (size_t i = 0; i < kMbrCodeSize; ++i)
        code[i] = static_cast<uint8_t>(0x5A ^ i);
    return code;
}

// What a write changes: the status bytes, and the code bytes only where there was no code.
std::string Changed(const Sector& before, const Sector& after)
{
    std::string out;
    for (size_t i = 0; i < kMbrSize; ++i)
        if (before.bytes[i] != after.bytes[i])
            out += std::to_string(i) + " ";
    return out;
}

TEST(MasterBootRecord, MakingStartableChangesOnlyStatusBytesAndMissingCode)
{
    const uint8_t (&code)[kMbrCodeSize] = *reinterpret_cast<const uint8_t (*)[kMbrCodeSize]>(OurCode());

    // Factory stick: code written, entry 0 made active; 440..509 apart from byte 446 as they were.
    Sector factory = MakeMbr({{0, FAT16, 2048, kDisk - 2048}}, NO_CODE);
    Sector s = factory;
    MbrReading r = ReadMasterBootRecord(s.bytes, 2048, kDisk);
    MakeStartable(s.bytes, r, code);
    EXPECT_EQ(0, memcmp(s.bytes, code, kMbrCodeSize));
    EXPECT_EQ(0, memcmp(s.bytes + kMbrCodeSize, factory.bytes + kMbrCodeSize, kMbrTableOffset - kMbrCodeSize));
    EXPECT_EQ(A, s.bytes[kMbrTableOffset]);
    EXPECT_EQ(0, memcmp(s.bytes + kMbrTableOffset + 1, factory.bytes + kMbrTableOffset + 1, kMbrSize - 447));
    EXPECT_EQ(MBR_STARTABLE, ReadMasterBootRecord(s.bytes, 2048, kDisk).state);

    // Someone's code stays; the other entry loses its flag, ours gets it.
    const Sector twoParts = MakeMbr({{A, FAT32, 2048, 2048}, {0, FAT16, 4096, 4096}});
    s = twoParts;
    r = ReadMasterBootRecord(s.bytes, 4096, kDisk);
    MakeStartable(s.bytes, r, code);
    EXPECT_EQ("446 462 ", Changed(twoParts, s));
    EXPECT_EQ(MBR_STARTABLE, ReadMasterBootRecord(s.bytes, 4096, kDisk).state);

    // Active already, code missing: only the code changes.
    const Sector activeBlank = MakeMbr({{A, FAT16, 2048, 4096}}, NO_CODE);
    s = activeBlank;
    MakeStartable(s.bytes, ReadMasterBootRecord(s.bytes, 2048, kDisk), code);
    EXPECT_EQ(0, memcmp(s.bytes + kMbrCodeSize, activeBlank.bytes + kMbrCodeSize, kMbrSize - kMbrCodeSize));

    // Nothing at all for a reading that is not "needs change".
    for (const Row& row : kRows) {
        if (row.state == MBR_NEEDS_CHANGE)
            continue;
        Sector t = row.sector;
        MakeStartable(t.bytes, ReadMasterBootRecord(t.bytes, row.volumeFirst, row.diskSectors), code);
        EXPECT_EQ("", Changed(row.sector, t)) << row.name;
    }
}

TEST(MasterBootRecord, VolumeFirstSectorTrustsOnlyAgreeingAnswers)
{
    uint32_t first = 7;
    EXPECT_TRUE(VolumeFirstSector(2048, 0, 0, &first));  // Wine's stub: no answer, the BPB holds
    EXPECT_EQ(2048u, first);
    EXPECT_TRUE(VolumeFirstSector(63, 63 * 512, 1000, &first));
    EXPECT_EQ(63u, first);
    first = 7;
    EXPECT_FALSE(VolumeFirstSector(2048, 0, 1000, &first));        // the system says sector 0
    EXPECT_FALSE(VolumeFirstSector(2048, 2048 * 512 + 1, 1000, &first));  // not on a sector
    EXPECT_FALSE(VolumeFirstSector(0, 1048576, 1000, &first));
    EXPECT_EQ(7u, first);
}
}  // namespace
