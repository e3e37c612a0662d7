#pragma once
// The two records of the VWIN32 absolute disk read/write services (DOS interrupts 25h/26h):
//   DiskIoPacket   - the 10-byte DISKIO parameter packet that EBX points to;
//   DiocRegisters  - the 28-byte register block given to and returned by DeviceIoControl.
// They are wire formats of a 32-bit system service, so every field is a fixed-width integer and
// the layout is the same in a 64-bit build (where the service does not exist, but the code compiles).
#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
struct DiskIoPacket {
    uint32_t startSector;
    uint16_t sectorCount;
    uint32_t buffer;  // flat 32-bit address
};
#pragma pack(pop)

struct DiocRegisters {
    uint32_t ebx;
    uint32_t edx;
    uint32_t ecx;
    uint32_t eax;
    uint32_t edi;
    uint32_t esi;
    uint32_t flags;
};

static_assert(sizeof(DiskIoPacket) == 10, "DISKIO packet is 10 packed bytes");
static_assert(offsetof(DiskIoPacket, startSector) == 0, "DISKIO start sector");
static_assert(offsetof(DiskIoPacket, sectorCount) == 4, "DISKIO sector count");
static_assert(offsetof(DiskIoPacket, buffer) == 6, "DISKIO buffer address");

static_assert(sizeof(DiocRegisters) == 28, "register block is 28 bytes");
static_assert(offsetof(DiocRegisters, ebx) == 0, "EBX");
static_assert(offsetof(DiocRegisters, edx) == 4, "EDX");
static_assert(offsetof(DiocRegisters, ecx) == 8, "ECX");
static_assert(offsetof(DiocRegisters, eax) == 12, "EAX");
static_assert(offsetof(DiocRegisters, edi) == 16, "EDI");
static_assert(offsetof(DiocRegisters, esi) == 20, "ESI");
static_assert(offsetof(DiocRegisters, flags) == 24, "Flags");

enum : uint32_t {
    VWIN32_DIOC_DOS_INT25 = 2,  // absolute disk read
    VWIN32_DIOC_DOS_INT26 = 3,  // absolute disk write
    DIOC_CARRY_FLAG = 1,        // bit 0 of Flags: the service failed
    DISKIO_USE_PACKET = 0xFFFF, // ECX value meaning "EBX points to a DISKIO packet"
};

// Only the low 16 bits of the count reach the service, as its packet has no room for more.
DiskIoPacket MakeDiskIoPacket(uint32_t startSector, uint32_t count, uint32_t bufferAddress);

// 1 when the packet can carry the count whole. A larger count would be cut to its low 16 bits
// and the service would report success for a transfer smaller than the one asked for.
int DiskIoCountFits(uint32_t count);

// The register block for one transfer of `drive` (0 = A) described by the packet at `packetAddress`.
DiocRegisters MakeDiskIoRegisters(uint32_t packetAddress, int32_t drive);

// 1 when the device call returned nonzero and the service left the carry flag clear.
int DiskIoSucceeded(int deviceCallResult, const DiocRegisters& returned);
