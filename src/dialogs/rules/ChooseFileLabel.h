#pragma once
// How the label of a path field becomes the chooser's title and filter list: "Title" alone, or
// "Title|Description|Pattern|..." with an optional final '|'. Kept free of windows.h.
#include <cstddef>

struct ChooserLabel {
    // Labels are held to 255 characters by the dialog; a longer one is cut here as well.
    enum { TITLE_SIZE = 256, FILTER_SIZE = 260 };
    char title[TITLE_SIZE];
    // The platform's filter list: description, zero, pattern, zero, ..., closed by an empty
    // entry. Held with every zero in place and handed to the chooser as it is.
    char filter[FILTER_SIZE];
    size_t filterLength;  // bytes of `filter` in use, the closing zeros included
};

// A label without '|' gets the filter pair "All files (*.*)" / "*.*". A list that ends on a
// description without its pattern gets an empty pattern, so the chooser never reads past the end.
ChooserLabel SplitChooserLabel(const char* label);
