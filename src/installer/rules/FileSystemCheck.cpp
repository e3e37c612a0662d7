#include "installer/rules/FileSystemCheck.h"

namespace {
// 1 when `name` begins with `lower` (lower case) in any case; with `whole`, only when it is all of it.
int NameIs(const char* name, const char* lower, bool whole)
{
    int i = 0;
    for (; lower[i]; ++i) {
        char c = name[i];  // a shorter name stops at its terminator, which never matches
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != lower[i])
            return 0;
    }
    return !whole || name[i] == '\0';
}
}  // namespace

int HasFatName(const char* name)
{
    return NameIs(name, "fat", false);
}

int IsFat32Name(const char* name)
{
    return NameIs(name, "fat32", true);
}

int HasFat16ClusterCount(uint32_t totalClusters)
{
    return totalClusters < kFat32MinClusters;
}
