#include "installer/WProgressWindow.h"

#include <cstring>

#include "framework/WPaintCanvas.h"

namespace {
constexpr DWORD kStyle = WS_BORDER;
constexpr DWORD kExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_APPWINDOW;
}  // namespace

WProgressWindow::WProgressWindow()
{
    stepText[0] = '\0';
}

WProgressWindow::~WProgressWindow() {}

void WProgressWindow::CreateHidden()
{
    // No message loop runs while the files are copied, which on a floppy takes far longer than
    // the 5 s after which Windows (Vista and later) would put a frozen "Not Responding" copy
    // in place of this window; the call is absent before Vista.
    typedef void(WINAPI * DisableGhosting)();
    if (HMODULE user = GetModuleHandleA("user32.dll")) {
        if (FARPROC f = GetProcAddress(user, "DisableProcessWindowsGhosting"))
            reinterpret_cast<DisableGhosting>(reinterpret_cast<void*>(f))();
    }
    CreateFrame(nullptr, 100, 100, 200, 50, kStyle, "KESTRAND Install - Progress", nullptr, nullptr, kExStyle);
}

void WProgressWindow::OnCreate(WWindow* window)
{
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    RECT r;
    GetWindowRect(window->hwnd, &r);
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    MoveWindow(window->hwnd, (screenWidth - w) / 2, (screenHeight - h) / 2, w, h, TRUE);
}

int WProgressWindow::Show()
{
    const int wasVisible = WWindow::Show();
    if (hwnd != nullptr)
        UpdateWindow(hwnd);
    return wasVisible;
}

void WProgressWindow::SetStep(const char* text)
{
    strncpy(stepText, text, STEP_TEXT_SIZE - 1);
    stepText[STEP_TEXT_SIZE - 1] = '\0';
    if (hwnd == nullptr)
        return;  // a null window would invalidate the whole desktop
    InvalidateRect(hwnd, nullptr, TRUE);
    UpdateWindow(hwnd);
}

void WProgressWindow::OnPaint(WWindow* window, WPaintCanvas* canvas, const RECT*)
{
    const HDC dc = canvas->hdc;
    RECT r;
    GetClientRect(window->hwnd, &r);
    r.left += 4;
    r.top += 4;
    r.right -= 4;
    r.bottom -= 4;
    MoveToEx(dc, r.left, r.top, nullptr);
    LineTo(dc, r.right, r.top);
    LineTo(dc, r.right, r.bottom);
    LineTo(dc, r.left, r.bottom);
    LineTo(dc, r.left, r.top);
    r.left += 2;
    r.top += 2;
    SetBkMode(dc, TRANSPARENT);
    // One line, cut at the frame: a long file name must not push the text out of the window.
    DrawTextA(dc, stepText, -1, &r, DT_SINGLELINE);
}
