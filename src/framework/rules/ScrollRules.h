#pragma once
// Scroll arithmetic of frame windows: position clamping, scroll-bar range, page steps, the limits
// of the four scroll operations and the auto-scroll edges of a drag.
#include <cstdint>

// The content size a scroll bar describes: the extent, or the client size when none is set.
int32_t EffectiveExtent(int32_t extent, int32_t client);

// A scroll position kept within 0 .. extent - client; 0 when the content fits. `extent` is the
// effective extent. Sets *changed when the position moved.
int32_t ClampScrollPosition(int32_t position, int32_t extent, int32_t client, bool* changed);

// The scroll bar's nMax: the extent when the content is larger than the client area, else 0
// (the bar then has nothing to scroll and is hidden or disabled).
int32_t ScrollBarMaximum(int32_t extent, int32_t client);

// The distance of one page: a positive step as it is, 0 the client size, and a negative step the
// client size less its magnitude, so that that much of the old view stays in sight (at least 1).
int32_t PageStep(int32_t page, int32_t client);

// How far ScrollUp / ScrollLeft move: they stop exactly at position 0.
int32_t BackwardAmount(int32_t amount, int32_t position);

// How far ScrollDown / ScrollRight move: they stop exactly at the last position, extent - client,
// as the scroll bar's thumb does; 0 without an extent or at (or past) the end.
int32_t ForwardAmount(int32_t amount, int32_t extent, int32_t position, int32_t client);

// The client edges on which a resting drag cursor auto-scrolls: within 2 pixels of the left or
// top edge, or on the last column or row.
enum : int { EDGE_LEFT = 1, EDGE_RIGHT = 2, EDGE_TOP = 4, EDGE_BOTTOM = 8 };
int AutoScrollEdges(int32_t x, int32_t y, int32_t width, int32_t height);
