// Scroll arithmetic: clamping, bar range, page steps, the asymmetric limits of the scroll
// operations and the auto-scroll edges.
#include <gtest/gtest.h>

#include <climits>

#include "framework/rules/ScrollRules.h"

namespace {

TEST(ScrollRules, ClampKeepsThePositionWithinTheBarsRange)
{
    static const struct {
        int32_t position, extent, client, clamped;
        bool changed;
    } cases[] = {
        {0, 1000, 400, 0, false},
        {600, 1000, 400, 600, false},     // the last position
        {601, 1000, 400, 600, true},
        {700, 800, 300, 500, true},       // a shrunk extent pulls the view back
        {50, 100, 300, 0, true},          // content smaller than the client: never below 0
        {-8, 1000, 400, 0, true},
        {-8, 0, 0, 0, true},              // no extent and no client: only the lower bound
        {INT_MAX, 1000, 400, 600, true},  // no wrap-around in the sum
    };
    for (const auto& c : cases) {
        bool changed = false;
        EXPECT_EQ(c.clamped, ClampScrollPosition(c.position, c.extent, c.client, &changed))
            << c.position << " in " << c.extent << " over " << c.client;
        EXPECT_EQ(c.changed, changed) << c.position << " in " << c.extent << " over " << c.client;
    }
}

TEST(ScrollRules, BarHasARangeOnlyWhenTheContentIsLarger)
{
    EXPECT_EQ(1000, ScrollBarMaximum(1000, 400));
    EXPECT_EQ(0, ScrollBarMaximum(400, 400));
    EXPECT_EQ(0, ScrollBarMaximum(EffectiveExtent(0, 400), 400));
    EXPECT_EQ(1000, EffectiveExtent(1000, 400));
}

TEST(ScrollRules, PageStepNeverRunsAgainstTheRequest)
{
    EXPECT_EQ(50, PageStep(50, 300));
    EXPECT_EQ(300, PageStep(0, 300));
    EXPECT_EQ(292, PageStep(-8, 300));  // the default: a page less 8 pixels of overlap
    EXPECT_EQ(1, PageStep(-8, 8));
    EXPECT_EQ(1, PageStep(-8, 3));
    EXPECT_EQ(1, PageStep(INT_MIN, 300));
}

TEST(ScrollRules, BackwardStopsAtZeroForwardAtTheLastPosition)
{
    EXPECT_EQ(5, BackwardAmount(8, 5));
    EXPECT_EQ(0, BackwardAmount(8, 0));
    EXPECT_EQ(8, BackwardAmount(8, 100));

    // extent 1000 over a client of 300: the last position is 700.
    EXPECT_EQ(8, ForwardAmount(8, 1000, 600, 300));
    EXPECT_EQ(8, ForwardAmount(8, 1000, 692, 300));
    EXPECT_EQ(3, ForwardAmount(8, 1000, 697, 300));
    EXPECT_EQ(0, ForwardAmount(8, 1000, 700, 300));    // at the last position a page moves nothing
    EXPECT_EQ(0, ForwardAmount(292, 1000, 700, 300));
    EXPECT_EQ(0, ForwardAmount(8, 1000, 708, 300));    // past it (a shrunk extent): no further
    EXPECT_EQ(0, ForwardAmount(8, 200, 0, 300));       // content smaller than the client
    EXPECT_EQ(0, ForwardAmount(8, 0, 0, 300));         // no extent, no scrolling
    EXPECT_EQ(0, ForwardAmount(8, -5, -100, 300));
    EXPECT_EQ(100, ForwardAmount(0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF - 400, 300));  // no overflow
}

TEST(ScrollRules, AutoScrollEdgesAreTwoColumnsLeftAndTheLastColumnRight)
{
    const int w = 300, h = 200;
    EXPECT_EQ(EDGE_LEFT, AutoScrollEdges(0, 100, w, h));
    EXPECT_EQ(EDGE_LEFT, AutoScrollEdges(1, 100, w, h));
    EXPECT_EQ(0, AutoScrollEdges(2, 100, w, h));
    EXPECT_EQ(0, AutoScrollEdges(w - 2, 100, w, h));
    EXPECT_EQ(EDGE_RIGHT, AutoScrollEdges(w - 1, 100, w, h));
    EXPECT_EQ(EDGE_TOP, AutoScrollEdges(100, 1, w, h));
    EXPECT_EQ(EDGE_BOTTOM, AutoScrollEdges(100, h - 1, w, h));
    EXPECT_EQ(0, AutoScrollEdges(100, h - 2, w, h));
    EXPECT_EQ(EDGE_LEFT | EDGE_TOP, AutoScrollEdges(0, 0, w, h));  // a corner scrolls both ways
    EXPECT_EQ(EDGE_RIGHT | EDGE_BOTTOM, AutoScrollEdges(w - 1, h - 1, w, h));
}

}  // namespace
