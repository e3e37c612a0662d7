#pragma once
// WProgressWindow: the small always-on-top window that names the installer's current step in one
// line of text inside a thin frame.
#include "framework/WFrameWindow.h"

class WProgressWindow : public WFrameWindow {
public:
    enum { STEP_TEXT_SIZE = 128 };

    WProgressWindow();
    void OnPaint(WWindow* window, WPaintCanvas* canvas, const RECT* update) override;
    ~WProgressWindow() override;
    // Centres the window on the screen.
    void OnCreate(WWindow* window) override;

    // Creates the window, hidden, with its title, size and styles.
    void CreateHidden();
    // Shows the window with its current step drawn before returning. WWindow::Show leaves the
    // painting to a message loop, and none runs during the install work that follows.
    int Show();
    // Replaces the text (at most 127 characters) and repaints at once, so a visible window shows
    // the step before the long operation after it starts; no message loop runs during those.
    void SetStep(const char* text);

    char stepText[STEP_TEXT_SIZE];
};
