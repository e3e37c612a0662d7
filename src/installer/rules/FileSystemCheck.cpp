#include "installer/rules/FileSystemCheck.h"

int HasFatName(const char* name)
{
    const char fat[] = "fat";
    for (int i = 0; i < 3; ++i) {
        char c = name[i];  // a shorter name stops at its terminator, which never matches
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != fat[i])
            return 0;
    }
    return 1;
}

int HasFat16ClusterCount(uint32_t totalClusters)
{
    return totalClusters < kFat32MinClusters;
}
