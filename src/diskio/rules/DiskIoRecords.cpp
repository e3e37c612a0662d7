#include "diskio/rules/DiskIoRecords.h"

DiskIoPacket MakeDiskIoPacket(uint32_t startSector, uint32_t count, uint32_t bufferAddress)
{
    DiskIoPacket p;
    p.startSector = startSector;
    p.sectorCount = static_cast<uint16_t>(count & 0xFFFF);
    p.buffer = bufferAddress;
    return p;
}

int DiskIoCountFits(uint32_t count)
{
    return count <= 0xFFFF;
}

DiocRegisters MakeDiskIoRegisters(uint32_t packetAddress, int32_t drive)
{
    DiocRegisters r = {};
    r.ebx = packetAddress;
    r.ecx = DISKIO_USE_PACKET;
    r.eax = static_cast<uint32_t>(drive);
    return r;
}

int DiskIoSucceeded(int deviceCallResult, const DiocRegisters& returned)
{
    return deviceCallResult != 0 && (returned.flags & DIOC_CARRY_FLAG) == 0;
}
