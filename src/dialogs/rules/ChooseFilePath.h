#pragma once
// Path rules of the file and folder chooser: the pattern appended before it opens, the "(.)" mark
// that makes its OK button return a folder, and the folder of a file picked in the folder mode.
// Kept free of windows.h so the rules are tested natively; every function stays inside the
// chooser's fixed path buffer of CHOOSER_PATH_SIZE bytes, whatever it is handed.
#include <cstddef>

enum {
    CHOOSER_PATH_SIZE = 260,   // the chooser's nMaxFile: the path buffer with its terminating zero
    CHOOSE_FOLDER = 0,
    CHOOSE_OPEN = 1,
    CHOOSE_SAVE = 2,
};

// Length of the text in a path buffer, at most CHOOSER_PATH_SIZE - 1. A buffer without a zero in
// its CHOOSER_PATH_SIZE bytes is cut to that length (its last byte becomes the zero), so nothing
// downstream reads or writes past it.
size_t ChooserPathLength(char* path);

// The pattern the chooser opens with: "*.(.)" (folder) or "*.*" (other modes) after a final '\',
// "\*.(.)" for a folder path without one, nothing for a file path without one.
const char* ChooserPattern(const char* path, size_t length, int mode);

// Appends ChooserPattern to `path`. Returns 1 when the pattern is in place (or there is none),
// 0 when it would not fit: the path is then left as it was and the chooser opens without it.
int AppendChooserPattern(char* path, int mode);

// Marks a folder path for the OK button by appending "(.)". Returns 0, leaving the path alone,
// when the mark would not fit.
int AddFolderMark(char* path);

// Takes the "(.)" mark off a path longer than 5 characters. Returns 1 when it was there.
int StripFolderMark(char* path);

// Shortens the path of a file to its folder: before the last '\', or just after it when that '\'
// is the third character (a drive root). Returns 1 when the path was cut there, 0 when it has no
// '\' after its first two characters and is left alone.
int CutToFolder(char* path);

// 1 for "X:\..." and "\\server\...", the forms a name field may hold instead of a plain name.
int IsFullPath(const char* text);
