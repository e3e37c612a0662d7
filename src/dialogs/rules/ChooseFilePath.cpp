#include "dialogs/rules/ChooseFilePath.h"

#include <cstring>

namespace {
const char kFolderMark[] = "(.)";
constexpr size_t kMarkLength = sizeof kFolderMark - 1;
}  // namespace

size_t ChooserPathLength(char* path)
{
    const void* end = std::memchr(path, 0, CHOOSER_PATH_SIZE);
    if (end)
        return static_cast<const char*>(end) - path;
    path[CHOOSER_PATH_SIZE - 1] = 0;
    return CHOOSER_PATH_SIZE - 1;
}

const char* ChooserPattern(const char* path, size_t length, int mode)
{
    const bool folder = mode == CHOOSE_FOLDER;
    if (length > 0 && path[length - 1] == '\\')
        return folder ? "*.(.)" : "*.*";
    return folder ? "\\*.(.)" : "";
}

int AppendChooserPattern(char* path, int mode)
{
    const size_t length = ChooserPathLength(path);
    const char* pattern = ChooserPattern(path, length, mode);
    const size_t extra = std::strlen(pattern);
    if (length + extra >= CHOOSER_PATH_SIZE)
        return 0;
    std::memcpy(path + length, pattern, extra + 1);
    return 1;
}

int AddFolderMark(char* path)
{
    const size_t length = ChooserPathLength(path);
    if (length + kMarkLength >= CHOOSER_PATH_SIZE)
        return 0;
    std::memcpy(path + length, kFolderMark, kMarkLength + 1);
    return 1;
}

int StripFolderMark(char* path)
{
    const size_t length = ChooserPathLength(path);
    if (length <= 5 || std::memcmp(path + length - kMarkLength, kFolderMark, kMarkLength) != 0)
        return 0;
    path[length - kMarkLength] = 0;
    return 1;
}

int CutToFolder(char* path)
{
    ChooserPathLength(path);
    char* slash = std::strrchr(path, '\\');
    if (!slash || slash - path < 2)
        return 0;
    // A drive root keeps its '\': "C:" alone would mean the drive's current folder.
    if (slash - path == 2)
        slash[1] = 0;
    else
        slash[0] = 0;
    return 1;
}

int IsFullPath(const char* text)
{
    const char c = text[0];
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    if (letter && text[1] == ':' && text[2] == '\\')
        return 1;
    return text[0] == '\\' && text[1] == '\\';
}
