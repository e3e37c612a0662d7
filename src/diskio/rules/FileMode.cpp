#include "diskio/rules/FileMode.h"

namespace {
constexpr uint32_t kGenericRead = 0x80000000u;
constexpr uint32_t kGenericWrite = 0x40000000u;
constexpr uint32_t kShareRead = 1, kShareWrite = 2;
constexpr uint32_t kCreateAlways = 2, kOpenExisting = 3, kOpenAlways = 4, kTruncateExisting = 5;
constexpr uint32_t kWriteThrough = 0x80000000u, kDeleteOnClose = 0x04000000u;
}

uint32_t AddDefaultCreationBits(uint32_t mode)
{
    const uint32_t access = mode & (WF_READ | WF_WRITE);
    if (access == WF_READ)
        return mode | WF_MUST_EXIST;
    if (access == WF_WRITE && !(mode & WF_APPEND))
        return mode | WF_TRUNCATE;
    return mode;
}

FileOpenArgs MapFileMode(uint32_t mode)
{
    FileOpenArgs a{0, 0, 0, 0};
    if (mode & WF_READ) a.access |= kGenericRead;
    if (mode & WF_WRITE) a.access |= kGenericWrite;
    if (mode & WF_SHARE_READ) a.share |= kShareRead;
    if (mode & WF_SHARE_WRITE) a.share |= kShareWrite;
    const bool truncate = mode & WF_TRUNCATE, mustExist = mode & WF_MUST_EXIST;
    a.disposition = truncate ? (mustExist ? kTruncateExisting : kCreateAlways)
                             : (mustExist ? kOpenExisting : kOpenAlways);
    if (mode & WF_WRITE_THROUGH) a.flags |= kWriteThrough;
    if (mode & WF_DELETE_ON_CLOSE) a.flags |= kDeleteOnClose;
    return a;
}
