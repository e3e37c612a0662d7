#pragma once
// Classes in this file: MbrReading (what sector 0 of a partitioned stick says about the volume
// the user chose) and the rules that decide whether the stick starts that volume, and how it is
// made to.
//
// A PC starts from a partitioned stick only when the master boot record holds boot code and the
// volume's partition entry is the one marked active. The rules never guess: anything they cannot
// read for certain (no MBR, a GPT disk, entries that overlap or reach past the disk, no entry or
// more than one entry at the volume's first sector) leaves the disk as it is.
#include <cstddef>
#include <cstdint>

constexpr size_t kMbrSize = 512;
constexpr size_t kMbrCodeSize = 440;      // bytes 0..439; 440..443 hold the disk signature
constexpr size_t kMbrTableOffset = 446;   // four entries of 16 bytes
constexpr size_t kMbrEntrySize = 16;
constexpr int kMbrEntries = 4;
constexpr uint8_t kMbrActive = 0x80;
constexpr uint8_t kMbrTypeGpt = 0xEE;     // the protective entry of a GPT disk

enum MbrState : int32_t {
    MBR_STARTABLE = 0,      // our entry alone is active and there is boot code: nothing to write
    MBR_NEEDS_CHANGE = 1,   // ours is not (alone) active, or there is no boot code
    MBR_NOT_MBR = 2,        // no 55AA signature, or entries no partition table holds
    MBR_GPT = 3,            // a protective GPT entry
    MBR_NO_ENTRY = 4,       // no primary entry starts at the volume's first sector
    MBR_PAST_DISK = 5,      // an entry reaches past the end of the disk (or the size is unknown)
    MBR_OVERLAP = 6,        // two entries share sectors (two at the volume's first sector do)
};

struct MbrReading {
    MbrState state;
    int entry;        // our entry 0..3, or -1
    bool active;      // our entry is active and no other entry is
    bool hasCode;     // bytes 0..439 hold something other than one repeated byte
};

// The first sector of the volume, from its parameter block's hidden sectors and, where the system
// told them, the volume's extents on the disk. Extents of length 0 are no answer (Wine answers
// every volume with "offset 0, length 0"). False when the two disagree or the offset is not a
// whole sector: then nobody knows where the volume starts.
bool VolumeFirstSector(uint32_t hiddenSectors, uint64_t extentOffset, uint64_t extentLength,
                       uint32_t* firstSector);

// What sector 0 of a disk of `diskSectors` sectors says about the volume at `volumeFirst`.
// A disk size of 0 (unknown) is read as MBR_PAST_DISK: the entries cannot be checked against it.
MbrReading ReadMasterBootRecord(const uint8_t (&sector)[kMbrSize], uint32_t volumeFirst, uint64_t diskSectors);

// Makes the sector start the entry of `reading` (which must be MBR_NEEDS_CHANGE): that entry
// becomes active and the others inactive, and `code` goes into bytes 0..439 only when there is no
// boot code. Every other byte stays as it was.
void MakeStartable(uint8_t (&sector)[kMbrSize], const MbrReading& reading, const uint8_t (&code)[kMbrCodeSize]);
