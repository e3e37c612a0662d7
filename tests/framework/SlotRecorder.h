#pragma once
// Message-sequence testing of framework windows. Recording<Base> logs every slot call with its
// window and arguments as one line of text, prefixed with the receiving object when that is not
// the window itself; a check flushes the log, performs one action, and
// compares the log with a zero-terminated table of expected lines, printing both side by side.
// The test class procedure below logs the messages it receives as default processing.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "framework/FrameworkState.h"
#include "framework/MessageNames.h"
#include "framework/WApp.h"
#include "framework/WFrameWindow.h"
#include "framework/WPaintCanvas.h"
#include "framework/WWindowCanvas.h"

namespace rec {

inline std::vector<std::string>& Log()
{
    static std::vector<std::string> log;
    return log;
}

inline std::map<const WWindow*, std::string>& Labels()
{
    static std::map<const WWindow*, std::string> labels;
    return labels;
}

inline std::string Label(const WWindow* window)
{
    if (window == nullptr)
        return "null";
    auto it = Labels().find(window);
    return it != Labels().end() ? it->second : "?";
}

inline std::string HandleLabel(HWND window)
{
    if (window == nullptr)
        return "null";
    WWindow* object = WWindow::FromHandle(window);
    return object != nullptr ? Label(object) : "foreign";
}

template <class... A>
void Add(const char* format, A... args)
{
    char line[256];
    snprintf(line, sizeof line, format, args...);
    Log().push_back(line);
}

// The message that the test class procedure reports when it receives it.
inline UINT& WatchedMessage()
{
    static UINT watched = 0xFFFFFFFF;
    return watched;
}

inline LRESULT CALLBACK TestClassProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WatchedMessage())
        Add("previous(%s, %s)", HandleLabel(window).c_str(), MessageName(message));
    return DefWindowProcA(window, message, wParam, lParam);
}

constexpr const char TEST_CLASS[] = "FwTestClass";

// One visible top-level window for the whole program that test windows live in as children.
// Wine without a window manager waits two seconds whenever an activated top-level window is
// hidden or destroyed, so tests show no top-level windows of their own.
inline HWND& Host()
{
    static HWND host;
    return host;
}

// Starts the framework once for the whole test program (COM, frame class, property name) and
// registers the logging test class. The mouse is parked where no test window lies.
class Environment : public testing::Environment {
public:
    void SetUp() override
    {
        StartFramework(GetModuleHandleA(nullptr));
        WNDCLASSA wc = {};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = TestClassProcedure;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = TEST_CLASS;
        RegisterClassA(&wc);
        Host() = CreateWindowExA(0, "STATIC", "host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 640, 480,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        SetCursorPos(1000, 740);
    }
};

// Checks the log against `expected` (zero-terminated) and clears it.
inline void Check(const char* const* expected, const char* file, int line)
{
    std::vector<std::string> actual;
    actual.swap(Log());
    size_t n = 0;
    while (expected[n] != nullptr)
        ++n;
    bool same = actual.size() == n;
    for (size_t i = 0; same && i < n; ++i)
        same = actual[i] == expected[i];
    if (same)
        return;
    std::string table = "slot calls differ:\n";
    char row[400];
    snprintf(row, sizeof row, "  %-44s | %s\n", "expected", "actual");
    table += row;
    for (size_t i = 0; i < n || i < actual.size(); ++i) {
        const char* e = i < n ? expected[i] : "";
        const char* a = i < actual.size() ? actual[i].c_str() : "";
        snprintf(row, sizeof row, "%c %-44s | %s\n", (i < n && i < actual.size() && actual[i] == e) ? ' ' : '*', e, a);
        table += row;
    }
    ADD_FAILURE_AT(file, line) << table;
}

// Dispatches whatever is waiting (sent or posted) and forgets what it logged.
inline void Settle()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    Log().clear();
}

}  // namespace rec

#define EXPECT_CALLS(...)                                      \
    do {                                                       \
        static const char* const expected_[] = {__VA_ARGS__}; \
        rec::Check(expected_, __FILE__, __LINE__);             \
    } while (0)

// A window object whose every slot (but the two painting slots) logs its call.
template <class Base>
class Recording : public Base {
public:
    explicit Recording(const char* label) { rec::Labels()[this] = label; }
    ~Recording() override { rec::Labels().erase(this); }

    // Logs one slot call. A call received by another object than the window it is about (a
    // handler serving the window) is written "receiver.Slot(window, ...)".
    template <class... A>
    void Say(const WWindow* w, const char* format, A... args)
    {
        rec::Add(format, args...);
        if (w != this)
            rec::Log().back() = rec::Label(this) + "." + rec::Log().back();
    }

    int OnEraseBackground(WWindow* w, WCanvas*) override
    {
        Say(w, "OnEraseBackground(%s)", rec::Label(w).c_str());
        return eraseResult;
    }
    void OnSetFocus(WWindow* w) override { Say(w, "OnSetFocus(%s)", rec::Label(w).c_str()); }
    void OnKillFocus(WWindow* w) override { Say(w, "OnKillFocus(%s)", rec::Label(w).c_str()); }
    void OnShow(WWindow* w) override { Say(w, "OnShow(%s)", rec::Label(w).c_str()); }
    void OnHide(WWindow* w) override { Say(w, "OnHide(%s)", rec::Label(w).c_str()); }
    void OnCreate(WWindow* w) override
    {
        Say(w, "OnCreate(%s)", rec::Label(w).c_str());
        visibleInOnCreate = IsWindowVisible(w->hwnd) != 0;
    }
    void OnDestroy(WWindow* w) override { Say(w, "OnDestroy(%s)", rec::Label(w).c_str()); }
    void OnSize(WWindow* w, int cx, int cy) override { Say(w, "OnSize(%s, %d, %d)", rec::Label(w).c_str(), cx, cy); }
    void OnMove(WWindow* w, int x, int y) override { Say(w, "OnMove(%s, %d, %d)", rec::Label(w).c_str(), x, y); }
    void OnMouseMove(WWindow* w, int x, int y, WPARAM keys) override
    {
        Say(w, "OnMouseMove(%s, %d, %d, %d)", rec::Label(w).c_str(), x, y, static_cast<int>(keys));
    }
    void OnClick(WWindow* w, int x, int y) override { Say(w, "OnClick(%s, %d, %d)", rec::Label(w).c_str(), x, y); }
    void OnRightButtonUp(WWindow* w, int x, int y) override
    {
        Say(w, "OnRightButtonUp(%s, %d, %d)", rec::Label(w).c_str(), x, y);
    }
    void OnDoubleClick(WWindow* w, int x, int y) override
    {
        Say(w, "OnDoubleClick(%s, %d, %d)", rec::Label(w).c_str(), x, y);
    }
    void OnMouseEnter(WWindow* w, HWND from) override
    {
        Say(w, "OnMouseEnter(%s, %s)", rec::Label(w).c_str(), rec::HandleLabel(from).c_str());
    }
    void OnMouseLeave(WWindow* w, HWND to) override
    {
        Say(w, "OnMouseLeave(%s, %s)", rec::Label(w).c_str(), rec::HandleLabel(to).c_str());
    }
    void OnHover(WWindow* w, int x, int y, int ended) override
    {
        Say(w, "OnHover(%s, %d, %d, %d)", rec::Label(w).c_str(), x, y, ended);
    }
    int CanClose(WWindow* w, int reason) override
    {
        Say(w, "CanClose(%s, %d)", rec::Label(w).c_str(), reason);
        return canClose;
    }
    int FilterMessage(WWindow* w, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override
    {
        if (!filter)
            return Base::FilterMessage(w, message, wParam, lParam, result);
        return filter(w, message, wParam, lParam, result);
    }
    int OnCommand(WWindow* w, WWindow* control, int code, HWND controlWindow, int id) override
    {
        Say(w, "OnCommand(%s, %s, %d, %s, %d)", rec::Label(w).c_str(), rec::Label(control).c_str(), code,
                 rec::HandleLabel(controlWindow).c_str(), id);
        return commandResult;
    }
    void OnChar(WWindow* w, int c) override { Say(w, "OnChar(%s, %d)", rec::Label(w).c_str(), c); }
    void OnKeyDown(WWindow* w, int key) override { Say(w, "OnKeyDown(%s, %d)", rec::Label(w).c_str(), key); }
    void OnMouseMessage(WWindow* w, UINT message, WPARAM wParam, int x, int y) override
    {
        Say(w, "OnMouseMessage(%s, %s, %d, %d, %d)", rec::Label(w).c_str(), MessageName(message),
                 static_cast<int>(wParam), x, y);
    }
    void OnDrawItem(WWindow* w, WWindow* control, DRAWITEMSTRUCT* item) override
    {
        Say(w, "OnDrawItem(%s, %s, %u)", rec::Label(w).c_str(), rec::Label(control).c_str(), item->itemID);
    }
    void OnMeasureItem(WWindow* w, WWindow* control, MEASUREITEMSTRUCT* item) override
    {
        Say(w, "OnMeasureItem(%s, %s, %u)", rec::Label(w).c_str(), rec::Label(control).c_str(), item->itemID);
    }
    void OnCompareItem(WWindow* w, WWindow* control, COMPAREITEMSTRUCT* item) override
    {
        Say(w, "OnCompareItem(%s, %s, %u)", rec::Label(w).c_str(), rec::Label(control).c_str(), item->itemID1);
    }
    int OnNotify(WWindow* w, WWindow* control, NMHDR* header, LRESULT* result) override
    {
        Say(w, "OnNotify(%s, %s, %d, %d)", rec::Label(w).c_str(), rec::Label(control).c_str(),
                 static_cast<int>(header->code), static_cast<int>(*result));
        *result = notifyResult;
        return notifyFlags;
    }

    int eraseResult = 0;
    int canClose = 1;
    int commandResult = 0;
    LRESULT notifyResult = 0;
    int notifyFlags = 0;
    bool visibleInOnCreate = true;
    std::function<int(WWindow*, UINT, WPARAM, LPARAM, LRESULT*)> filter;
};

// Adds own painting (OnPaint) to a recording window.
template <class Base>
class Painting : public Recording<Base> {
public:
    using Recording<Base>::Recording;
    void OnPaint(WWindow* w, WPaintCanvas* canvas, const RECT* update) override
    {
        this->Say(w, "OnPaint(%s, %ld, %ld, %ld, %ld)", rec::Label(w).c_str(), update->left, update->top, update->right,
                 update->bottom);
        if (paintHook)
            paintHook(canvas);
    }
    std::function<void(WPaintCanvas*)> paintHook;
};

// Adds painting after the previous procedure (OnPostPaint) to a recording window.
template <class Base>
class PostPainting : public Recording<Base> {
public:
    using Recording<Base>::Recording;
    void OnPostPaint(WWindow* w, WWindowCanvas* canvas, const RECT* update) override
    {
        this->Say(w, "OnPostPaint(%s, %ld, %ld, %ld, %ld)", rec::Label(w).c_str(), update->left, update->top,
                 update->right, update->bottom);
        if (paintHook)
            paintHook(canvas);
    }
    std::function<void(WWindowCanvas*)> paintHook;
};

using RecordingWindow = Recording<WWindow>;
using RecordingFrame = Recording<WFrameWindow>;
