// Time from WMessageDialog::Show to the licence dialog being on the screen and painted, with a
// 64 KiB and a 1 MiB licence text, against a floor measured in the same run: a plain read-only
// multi-line EDIT window created, shown and painted with the same text.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "dialogs/WMessageDialog.h"

namespace {

const char kMarkup[] = "<E10><C15>I have read and fully agree to this license agreement<F2>";
constexpr int kRounds = 5;

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

std::string Licence(size_t bytes)
{
    std::string text;
    for (int line = 0; text.size() < bytes; ++line)
        text += "Section " + std::to_string(line) +
                ": the licensee may use this software for diagnosing disks, at own risk.\r\n";
    text.resize(bytes);
    return text;
}

double shownAt = 0;

// Runs as the dialog is shown: paints it at once, notes the time, and ends it with Escape.
LRESULT CALLBACK AfterCall(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPRETSTRUCT* m = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && m->message == WM_SHOWWINDOW && m->wParam) {
        char name[32] = "";
        GetClassNameA(m->hwnd, name, sizeof name);
        if (lstrcmpA(name, "ZEB_UB_CLASS") == 0 && shownAt == 0) {
            UpdateWindow(m->hwnd);
            shownAt = Now();
            PostMessageA(m->hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

double DialogTime(std::string& licence)
{
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROCRET, &AfterCall, nullptr, GetCurrentThreadId());
    shownAt = 0;
    int32_t state = 0;
    const double start = Now();
    WMessageDialog::Show(nullptr, "Welcome", "Installer", IDI_ASTERISK, "+&Continue|-&Abort", kMarkup, &state,
                         &licence[0], 0);
    UnhookWindowsHookEx(hook);
    return shownAt - start;
}

// `font` null leaves the edit its default font; the dialog's font is the system's message font.
double FloorTime(const std::string& licence, HFONT font)
{
    const double start = Now();
    // As wide as the dialog's box: the wrap width plus the scroll bar and the edges.
    const int width = GetSystemMetrics(SM_CXSCREEN) - 100 + GetSystemMetrics(SM_CXVSCROLL) + 8;
    // Created empty and then given the text, as the dialog does: a creation text of 32K and more
    // does not survive CreateWindowEx under Wine.
    HWND edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                                WS_POPUP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY, 0, 100, width,
                                200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (font)
        SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(licence.c_str()));
    if (static_cast<size_t>(GetWindowTextLengthA(edit)) != licence.size())
        std::printf("the plain edit did not take the whole text\n");
    ShowWindow(edit, SW_SHOW);
    UpdateWindow(edit);
    const double shown = Now() - start;
    DestroyWindow(edit);
    return shown;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main()
{
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof ncm;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
    HFONT messageFont = CreateFontIndirectA(&ncm.lfMessageFont);
    struct Case {
        const char* name;
        size_t bytes;
        double target;
    } cases[] = {{"64 KiB", 64 * 1024, 1.5}, {"1 MiB", 1024 * 1024, 3.0}};
    for (const Case& c : cases) {
        std::string licence = Licence(c.bytes);
        std::vector<double> dialog, floor, plainFont;
        // One round unmeasured, so first-use costs (fonts, classes) fall on neither side.
        FloorTime(licence, messageFont);
        DialogTime(licence);
        for (int i = 0; i < kRounds; ++i) {
            floor.push_back(FloorTime(licence, messageFont));
            plainFont.push_back(FloorTime(licence, nullptr));
            dialog.push_back(DialogTime(licence));
        }
        const double d = Median(dialog), f = Median(floor), p = Median(plainFont);
        std::printf("licence dialog %-7s shown in %8.1f ms; plain edit in the same font %8.1f ms: ratio %.2fx "
                    "(target <= %.1fx)\n",
                    c.name, d, f, d / f, c.target);
        std::printf("%31s plain edit in its default font %8.1f ms: ratio %.2fx\n", "", p, d / p);
    }
    DeleteObject(messageFont);
    return 0;
}
