#pragma once
// How a WFile mode word becomes the arguments of CreateFileA. Kept free of windows.h so the
// mapping is tested natively; the numbers are the Win32 values.
#include <cstdint>

enum : uint32_t {
    WF_READ = 0x001,
    WF_WRITE = 0x002,
    WF_SHARE_READ = 0x004,
    WF_SHARE_WRITE = 0x008,
    WF_TRUNCATE = 0x010,
    WF_MUST_EXIST = 0x020,
    WF_TEXT = 0x040,
    WF_WRITE_THROUGH = 0x100,
    WF_DELETE_ON_CLOSE = 0x200,
    WF_APPEND = 0x400,
};

struct FileOpenArgs {
    uint32_t access;        // GENERIC_READ / GENERIC_WRITE
    uint32_t share;         // FILE_SHARE_READ / FILE_SHARE_WRITE
    uint32_t disposition;   // CREATE_ALWAYS .. TRUNCATE_EXISTING
    uint32_t flags;         // FILE_FLAG_WRITE_THROUGH / FILE_FLAG_DELETE_ON_CLOSE, no attributes
};

// The caller's mode plus the creation bits an open adds by default: a read-only open must find
// its file, a write-only open that does not append starts the file afresh.
uint32_t AddDefaultCreationBits(uint32_t mode);

// The CreateFileA arguments for a mode that already carries its default creation bits.
FileOpenArgs MapFileMode(uint32_t mode);
