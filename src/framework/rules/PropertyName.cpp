#include "framework/rules/PropertyName.h"

void FormatPropertyName(uint32_t processId, char* buffer)
{
    static const char digits[] = "0123456789abcdef";
    buffer[0] = 'Z';
    buffer[1] = 'E';
    buffer[2] = 'B';
    for (int i = 0; i < 8; ++i)
        buffer[3 + i] = digits[(processId >> (28 - 4 * i)) & 0xF];
    buffer[11] = '\0';
}
