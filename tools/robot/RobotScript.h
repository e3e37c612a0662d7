#pragma once
// Classes in this file: RobotAction, RobotAnswer, and the answer-script and text rules of the
// dialog robot (no windows.h, so they read the same on every build).
//
// An answer is one word of the robot's command line and answers one question. It is a list of
// actions separated by ',', applied in order:
//   accept          tick the acceptance box (check box 15) unless it is ticked
//   check=N         tick check box N (or choose radio button N); uncheck=N clears check box N
//   select=N        choose item N (from 0) of the list or drop-down list
//   text=T          replace the text of the edit field or path field with T
//   click=T, T      click the button whose label is T ('&' and case ignored, '_' for a blank)
//   button=N        click the button at position N (from 0)
//   enter, escape   press the key where the keyboard focus is
//   key=K           type one key as real keyboard input (SendInput), e.g. key=tab,
//                   key=shift+tab, key=space, key=down, key=alt+c, key=c, key=enter
//   focus=ID        move the keyboard focus to the control with identifier ID
//   close           the close box
//   closewindow=T   the close command (as Alt+F4 gives it) to the installer's other top-level
//                   window captioned T ('_' for a blank), e.g. the progress window
//   wait=MS         pause
//   look            record the buttons as they are at that moment (default mark included)
//   default         the default answer (tick the acceptance box, first list item, default button)
#include <string>
#include <vector>

enum class RobotActionKind {
    Accept, Check, Uncheck, Select, SetText, ClickText, ClickIndex,
    Enter, Escape, Focus, Close, CloseWindow, Wait, Default, Key, Look
};

// Modifier bits of a key action's number, above its virtual-key code.
enum { ROBOT_KEY_SHIFT = 0x100, ROBOT_KEY_CTRL = 0x200, ROBOT_KEY_ALT = 0x400 };

struct RobotAction {
    RobotActionKind kind;
    int number = 0;         // box, item, button position, control identifier, milliseconds,
                            // or a key: virtual-key code | ROBOT_KEY_ modifiers
    std::string text;       // button label, the new field text, a window caption or a key's name
};

struct RobotAnswer {
    std::string source;     // the word as given, for the record
    std::vector<RobotAction> actions;
};

// Reads one answer word; false with a message in `error` when a word cannot be read.
bool ParseRobotAnswer(const std::string& word, RobotAnswer* answer, std::string* error);

// Reads a key name: modifiers "shift+", "ctrl+", "alt+" (any order) before a letter, a digit
// or one of tab, enter, escape, space, up, down, left, right, home, end, f4. False when unknown.
bool ParseKeyName(const std::string& name, int* key);

// A button label as a person reads it: without '&' (an "&&" stays one '&'), lower case.
std::string ButtonReading(const std::string& label);

// True when the wanted text (as typed on the command line, '_' standing for a blank) names
// the button label.
bool ButtonMatches(const std::string& label, const std::string& wanted);

// The first line of a text (up to CR or LF) and whether more lines follow.
std::string FirstLine(const std::string& text, bool* more = nullptr);

// Number of lines of an edit field's text (CR LF or LF ends a line; a last line without an
// end counts).
int LineCount(const std::string& text);

// A text made safe for one record line: control characters become blanks, '"' becomes '\''.
std::string RecordText(const std::string& text);
