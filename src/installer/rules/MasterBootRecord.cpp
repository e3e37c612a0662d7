#include "installer/rules/MasterBootRecord.h"

#include <cstring>

namespace {
struct Entry {
    uint8_t status;
    uint8_t type;
    uint32_t first;
    uint32_t count;
};

uint32_t Le32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

Entry EntryAt(const uint8_t (&sector)[kMbrSize], int n)
{
    const uint8_t* p = sector + kMbrTableOffset + n * kMbrEntrySize;
    return Entry{p[0], p[4], Le32(p + 8), Le32(p + 12)};
}

// An extended partition holds logical drives behind a table of its own: never a volume's entry.
bool IsExtended(uint8_t type)
{
    return type == 0x05 || type == 0x0F || type == 0x85;
}

// Blank sectors hold one byte throughout (zeros from the factory, FFh from some flash tools).
bool HasBootCode(const uint8_t (&sector)[kMbrSize])
{
    for (size_t i = 1; i < kMbrCodeSize; ++i)
        if (sector[i] != sector[0])
            return true;
    return false;
}

MbrReading Unclear(MbrState state)
{
    return MbrReading{state, -1, false, false};
}
}  // namespace

bool VolumeFirstSector(uint32_t hiddenSectors, uint64_t extentOffset, uint64_t extentLength,
                       uint32_t* firstSector)
{
    if (extentLength != 0 && extentOffset != static_cast<uint64_t>(hiddenSectors) * kMbrSize)
        return false;
    *firstSector = hiddenSectors;
    return true;
}

MbrReading ReadMasterBootRecord(const uint8_t (&sector)[kMbrSize], uint32_t volumeFirst, uint64_t diskSectors)
{
    if (sector[510] != 0x55 || sector[511] != 0xAA)
        return Unclear(MBR_NOT_MBR);
    Entry entries[kMbrEntries];
    for (int n = 0; n < kMbrEntries; ++n) {
        entries[n] = EntryAt(sector, n);
        const Entry& e = entries[n];
        if (e.status != 0 && e.status != kMbrActive)
            return Unclear(MBR_NOT_MBR);
        // An unused entry marked active is no table a system wrote.
        if (e.type == 0 && e.status != 0)
            return Unclear(MBR_NOT_MBR);
        // Sector 0 is the table itself; an empty partition is none.
        if (e.type != 0 && (e.first == 0 || e.count == 0))
            return Unclear(MBR_NOT_MBR);
    }
    for (const Entry& e : entries)
        if (e.type == kMbrTypeGpt)
            return Unclear(MBR_GPT);
    // The safety checks come before any entry is taken as ours: a table that is wrong anywhere
    // is not one to write back.
    for (int n = 0; n < kMbrEntries; ++n) {
        const Entry& e = entries[n];
        if (e.type == 0)
            continue;
        if (diskSectors == 0 || static_cast<uint64_t>(e.first) + e.count > diskSectors)
            return Unclear(MBR_PAST_DISK);
        for (int m = n + 1; m < kMbrEntries; ++m) {
            const Entry& o = entries[m];
            if (o.type == 0)
                continue;
            const uint64_t eEnd = static_cast<uint64_t>(e.first) + e.count;
            const uint64_t oEnd = static_cast<uint64_t>(o.first) + o.count;
            if (e.first < oEnd && o.first < eEnd)
                return Unclear(MBR_OVERLAP);
        }
    }
    // Entries do not overlap, so at most one starts at the volume's first sector.
    int ours = -1;
    for (int n = 0; n < kMbrEntries; ++n)
        if (entries[n].type != 0 && entries[n].first == volumeFirst)
            ours = n;
    if (ours < 0 || IsExtended(entries[ours].type))
        return Unclear(MBR_NO_ENTRY);
    bool active = entries[ours].status == kMbrActive;
    for (int n = 0; n < kMbrEntries; ++n)
        if (n != ours && entries[n].status == kMbrActive)
            active = false;  // the BIOS code of most MBRs refuses two, or starts the first
    const bool code = HasBootCode(sector);
    return MbrReading{active && code ? MBR_STARTABLE : MBR_NEEDS_CHANGE, ours, active, code};
}

void MakeStartable(uint8_t (&sector)[kMbrSize], const MbrReading& reading, const uint8_t (&code)[kMbrCodeSize])
{
    if (reading.state != MBR_NEEDS_CHANGE || reading.entry < 0 || reading.entry >= kMbrEntries)
        return;
    for (int n = 0; n < kMbrEntries; ++n)
        sector[kMbrTableOffset + n * kMbrEntrySize] = n == reading.entry ? kMbrActive : 0;
    if (!reading.hasCode)
        memcpy(sector, code, kMbrCodeSize);
}
