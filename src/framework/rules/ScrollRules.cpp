#include "framework/rules/ScrollRules.h"

int32_t EffectiveExtent(int32_t extent, int32_t client)
{
    return extent != 0 ? extent : client;
}

int32_t ClampScrollPosition(int32_t position, int32_t extent, int32_t client, bool* changed)
{
    // 64-bit sums: a position near the top of the range must not wrap into a negative one.
    int64_t p = position;
    if (extent != 0 && p + client > extent)
        p = static_cast<int64_t>(extent) - client;
    if (p < 0)
        p = 0;
    if (p != position)
        *changed = true;
    return static_cast<int32_t>(p);
}

int32_t ScrollBarMaximum(int32_t extent, int32_t client)
{
    return extent > client ? extent : 0;
}

int32_t PageStep(int32_t page, int32_t client)
{
    if (page > 0)
        return page;
    if (page == 0)
        return client;
    const int64_t step = static_cast<int64_t>(client) + page;
    return step > 0 ? static_cast<int32_t>(step) : 1;
}

int32_t BackwardAmount(int32_t amount, int32_t position)
{
    return amount < position ? amount : position;
}

int32_t ForwardAmount(int32_t amount, int32_t extent, int32_t position, int32_t client)
{
    if (extent <= 0 || amount <= 0)
        return 0;
    const int64_t room = static_cast<int64_t>(extent) - client - position;
    if (room <= 0)
        return 0;
    return amount < room ? amount : static_cast<int32_t>(room);
}

int AutoScrollEdges(int32_t x, int32_t y, int32_t width, int32_t height)
{
    int edges = 0;
    if (x < 2)
        edges |= EDGE_LEFT;
    if (x > width - 2)
        edges |= EDGE_RIGHT;
    if (y < 2)
        edges |= EDGE_TOP;
    if (y > height - 2)
        edges |= EDGE_BOTTOM;
    return edges;
}
