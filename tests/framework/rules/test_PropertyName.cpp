// The window property name: "ZEB" and the process id as exactly eight lower-case hex digits.
#include <gtest/gtest.h>

#include <cstring>

#include "framework/rules/PropertyName.h"

namespace {

TEST(PropertyName, EightLowerCaseDigitsForEveryId)
{
    static const struct {
        uint32_t processId;
        const char* name;
    } cases[] = {
        {0, "ZEB00000000"},
        {4660, "ZEB00001234"},
        {4294967295u, "ZEBffffffff"},
        {0xA0B0C0D, "ZEB0a0b0c0d"},
    };
    for (const auto& c : cases) {
        char buffer[PROPERTY_NAME_SIZE];
        memset(buffer, '#', sizeof buffer);
        FormatPropertyName(c.processId, buffer);
        EXPECT_STREQ(c.name, buffer) << "process id " << c.processId;
        EXPECT_EQ('#', buffer[12]) << "wrote past the terminator for " << c.processId;
    }
}

}  // namespace
