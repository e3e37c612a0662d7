#include "dialogs/rules/ListItems.h"

ListItems::ListItems(const char* value) : at(value && *value ? value : nullptr) {}

bool ListItems::Next(char (&item)[MARKUP_MAX_LABEL + 1])
{
    if (!at)
        return false;
    int32_t length = 0;
    const char* p = at;
    while (*p && *p != '|') {
        if (length < MARKUP_MAX_LABEL)
            item[length++] = *p;
        ++p;
    }
    item[length] = '\0';
    at = *p == '|' ? p + 1 : nullptr;
    return true;
}

int32_t ListItems::Count(const char* value)
{
    if (!value || !*value)
        return 0;
    int64_t n = 1;
    for (const char* p = value; *p; ++p)
        if (*p == '|' && n < INT32_MAX)
            ++n;
    return static_cast<int32_t>(n);
}
