// Mark-up text, button specification and list value from one input, laid out with the fixed
// metrics of the layout tests. Input: 4 bytes of state word, then mark-up, buttons and value
// separated by zero bytes (missing parts are null, which the dialog also accepts).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "FakeLayoutHost.h"
#include "dialogs/rules/ButtonSpec.h"
#include "dialogs/rules/DialogLayout.h"
#include "dialogs/rules/ListItems.h"
#include "dialogs/rules/MarkupReader.h"

namespace {

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

bool InRange(int32_t v) { return v >= -MARKUP_MAX_COORD && v <= MARKUP_MAX_COORD; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    int32_t state = 0;
    if (size >= 4) {
        std::memcpy(&state, data, 4);
        data += 4;
        size -= 4;
    }
    std::string parts[3];
    bool present[3] = {false, false, false};
    size_t part = 0;
    for (size_t i = 0; i < size && part < 3; ++i) {
        present[part] = true;
        if (data[i] == 0)
            ++part;
        else
            parts[part] += static_cast<char>(data[i]);
    }
    const char* markup = present[0] ? parts[0].c_str() : nullptr;
    const char* buttons = present[1] ? parts[1].c_str() : nullptr;
    const char* value = present[2] ? parts[2].c_str() : nullptr;

    MarkupReader reader(markup);
    MarkupTag tag;
    while (reader.Next(&tag))
        Check(tag.labelLength <= MARKUP_MAX_LABEL && std::strlen(tag.label) == size_t(tag.labelLength));

    ButtonSpec spec(buttons);
    Check(spec.count >= 1 && spec.count <= MARKUP_MAX_CONTROLS);
    Check(spec.defaultIndex >= -1 && spec.defaultIndex < spec.count);
    Check(spec.cancelIndex >= -1 && spec.cancelIndex < spec.count);
    for (int32_t i = 0; i < spec.count; ++i)
        Check(std::strlen(spec.labels[i].text) == size_t(spec.labels[i].length) &&
              spec.labels[i].length <= MARKUP_MAX_LABEL);

    ListItems items(value);
    char item[MARKUP_MAX_LABEL + 1];
    int32_t n = 0;
    while (items.Next(item)) {
        Check(std::strlen(item) <= MARKUP_MAX_LABEL);
        ++n;
    }
    Check(n == ListItems::Count(value));

    FakeLayoutHost host;
    DialogLayout layout(host, FakeMetrics());
    layout.PlaceMessage(markup, state & 1);
    layout.AddMarkup(markup, value, static_cast<int32_t>(state >> 8), state, spec.count);
    layout.AddButtons(spec, state);
    layout.Finish();
    Check(layout.controlCount <= MARKUP_MAX_CONTROLS);
    Check(size_t(layout.controlCount) == host.made.size());
    int32_t inputs = 0;
    for (int32_t i = 0; i < layout.controlCount; ++i) {
        const PlacedControl& c = layout.controls[i];
        Check(InRange(c.x) && InRange(c.y) && c.width >= 0 && c.width <= MARKUP_MAX_COORD && c.height >= 0 &&
              c.height <= MARKUP_MAX_COORD);
        inputs += c.id == ID_INPUT || c.id == ID_PATH;
    }
    Check(inputs <= 1);
    Check(layout.windowWidth >= 0 && layout.windowWidth <= MARKUP_MAX_COORD);
    Check(layout.windowHeight >= 0 && layout.windowHeight <= MARKUP_MAX_COORD);
    return 0;
}
