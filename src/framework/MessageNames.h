#pragma once
// Names of window messages, for failure dumps and traces.
#include <windows.h>

// "WM_PAINT" and the like; for a message without a name, its number as "0x%04x" in a static
// buffer that the next call overwrites.
const char* MessageName(UINT message);
