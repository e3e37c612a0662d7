#pragma once
// How the label of a path field becomes the chooser's title and filter list: "Title" alone, or
// "Title|Description|Pattern|..." with an optional final '|'. Kept free of windows.h.
#include <string>

struct ChooserLabel {
    std::string title;
    // The platform's filter list: description, zero, pattern, zero, ..., closed by an empty
    // entry. Held with every zero in place; data() is handed to the chooser as it is.
    std::string filter;
};

// A label without '|' gets the filter pair "All files (*.*)" / "*.*". A list that ends on a
// description without its pattern gets an empty pattern, so the chooser never reads past the end.
ChooserLabel SplitChooserLabel(const char* label);
