#pragma once
// Classes in this file: RobotControl, RobotQuestion, and the Win32 side of the dialog robot:
// finding a question of another process, reading it as a person sees it, and answering it.
#include <windows.h>

#include <string>
#include <vector>

#include "RobotScript.h"

struct RobotControl {
    HWND window = nullptr;
    int id = 0;
    std::string className;
    LONG style = 0;
    bool enabled = true;
    std::string text;
};

struct RobotQuestion {
    HWND dialog = nullptr;
    DWORD process = 0;
    std::string caption;
    // The message, read from the dialog's message control as a screen reader reads it, and the
    // cancel button, from the dialog's property; the default button is the one drawn as such.
    bool haveRecord = false;
    std::string text;
    int cancelIndex = -1;
    std::vector<RobotControl> buttons;      // identifiers 1000 + position, in order
    std::vector<RobotControl> controls;     // the mark-up controls, top to bottom
};

// The first visible window of the class "ZEB_UB_CLASS", of the given process unless it is 0.
HWND FindQuestionWindow(DWORD process);

// True once the question can be answered: its thread answers messages and the keyboard focus
// is inside it, as the dialog puts it on its first button (or first control) when it shows. A
// dialog that never takes the focus counts as ready when `late` is true.
bool QuestionIsReady(HWND dialog, bool late);

RobotQuestion ObserveQuestion(HWND dialog);

// One record line: "Q<n> | caption | message | [buttons] | controls".
std::string DescribeQuestion(int number, const RobotQuestion& question);

// The buttons part of that line: " [+&Continue] [-&Abort]".
std::string DescribeButtons(const RobotQuestion& question);

// The answer a person in a hurry gives: tick the acceptance box, first list item, default button.
RobotAnswer DefaultAnswer(const RobotQuestion& question);

// Applies the actions in order. `done` receives what was done, for the record; false with
// `error` set when an action cannot be done as asked (the rest is then not tried).
bool ApplyAnswer(const RobotQuestion& question, const RobotAnswer& answer, std::string* done,
                 std::string* error);

// The whole screen as a 24-bit BMP file.
bool SaveScreenBitmap(const std::string& path, std::string* error);
