// The chooser's path rules on whatever a path buffer may hold: every rule keeps to the 260 bytes
// of the buffer (ASan watches an allocation of exactly that size, guard bytes a buffer inside a
// record), and each one does what it promises or leaves the path alone. Input: one byte of mode,
// then the buffer's bytes, with or without a zero among them.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "dialogs/rules/ChooseFilePath.h"

namespace {

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

struct Guarded {
    char path[CHOOSER_PATH_SIZE];
    char guard[16];
};

// The path as the rules read it: up to its zero, or cut to 259 bytes.
std::string Text(const char* path)
{
    const void* end = std::memchr(path, 0, CHOOSER_PATH_SIZE);
    return std::string(path, end ? static_cast<size_t>(static_cast<const char*>(end) - path) : CHOOSER_PATH_SIZE - 1);
}

// One rule applied to both buffers; both must agree.
template <typename Rule>
int Both(char* exact, Guarded* guarded, Rule rule)
{
    const int a = rule(exact);
    const int b = rule(guarded->path);
    Check(a == b && Text(exact) == Text(guarded->path));
    for (char c : guarded->guard)
        Check(c == 'G');
    return a;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const int mode = static_cast<int>(data[0] % 5) - 1;   // -1 to 3: the valid modes and both sides
    ++data;
    --size;
    const size_t n = size < CHOOSER_PATH_SIZE ? size : CHOOSER_PATH_SIZE;
    char* exact = new char[CHOOSER_PATH_SIZE];
    Guarded guarded;
    std::memset(exact, 'x', CHOOSER_PATH_SIZE);
    std::memset(guarded.path, 'x', CHOOSER_PATH_SIZE);
    std::memset(guarded.guard, 'G', sizeof guarded.guard);
    std::memcpy(exact, data, n);
    std::memcpy(guarded.path, data, n);

    const size_t length = Both(exact, &guarded, [](char* p) { return static_cast<int>(ChooserPathLength(p)); });
    Check(length < CHOOSER_PATH_SIZE && exact[length] == 0);
    const std::string start = Text(exact);
    Check(start.size() == length);

    // The pattern goes on whole or not at all.
    const std::string pattern = ChooserPattern(exact, length, mode);
    const bool slash = length > 0 && start[length - 1] == '\\';
    const char* want = mode == CHOOSE_FOLDER ? (slash ? "*.(.)" : "\\*.(.)") : (slash ? "*.*" : "");
    Check(pattern == want);
    const int appended = Both(exact, &guarded, [mode](char* p) { return AppendChooserPattern(p, mode); });
    Check(appended ? Text(exact) == start + pattern : (Text(exact) == start && length + pattern.size() >= CHOOSER_PATH_SIZE));

    // The folder mark comes off again exactly as it went on.
    const std::string before = Text(exact);
    const int marked = Both(exact, &guarded, [](char* p) { return AddFolderMark(p); });
    Check(marked ? Text(exact) == before + "(.)" : (Text(exact) == before && before.size() + 3 >= CHOOSER_PATH_SIZE));
    const std::string withMark = Text(exact);
    const bool markThere = withMark.size() > 5 && withMark.compare(withMark.size() - 3, 3, "(.)") == 0;
    const int stripped = Both(exact, &guarded, [](char* p) { return StripFolderMark(p); });
    Check(stripped == (markThere ? 1 : 0));
    Check(stripped ? Text(exact) == withMark.substr(0, withMark.size() - 3) : Text(exact) == withMark);
    if (marked && before.size() > 2)
        Check(Text(exact) == before);

    // The folder of a file: a prefix, cut at the last '\' or just after a drive root's.
    const std::string file = Text(exact);
    const size_t last = file.rfind('\\');
    const int cut = Both(exact, &guarded, [](char* p) { return CutToFolder(p); });
    if (last == std::string::npos || last < 2)
        Check(!cut && Text(exact) == file);
    else
        Check(cut && Text(exact) == file.substr(0, last == 2 ? 3 : last));

    Both(exact, &guarded, [](char* p) { return IsFullPath(p); });
    delete[] exact;
    return 0;
}
