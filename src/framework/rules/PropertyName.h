#pragma once
// The name of the window property that binds a window to its object: "ZEB" and the process id
// as exactly eight lower-case hexadecimal digits, so that two processes never share it.
#include <cstdint>

constexpr int PROPERTY_NAME_SIZE = 16;  // 11 characters and the terminator, with room to spare

// Writes the name for `processId` into `buffer` (PROPERTY_NAME_SIZE bytes).
void FormatPropertyName(uint32_t processId, char* buffer);
