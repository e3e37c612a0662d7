#include "framework/WFrameWindow.h"

#include "common/ScopedGdi.h"
#include "framework/FrameworkState.h"
#include "framework/WApp.h"

WFrameWindow::WFrameWindow()
    : background(static_cast<int32_t>(BACKGROUND_SYSTEM_COLOUR | COLOR_WINDOW)),
      cursor(nullptr),
      extentX(0),
      extentY(0),
      scrollX(0),
      scrollY(0),
      pageX(-8),
      pageY(-8),
      lineX(8),
      lineY(8),
      dragDelay(8),
      dragThreshold(4)
{
    flags |= FrameWindow;
}

int WFrameWindow::OnDrag(int, DragState*)
{
    return 0;
}

void WFrameWindow::CreateFrame(HWND parent, int x, int y, int width, int height, DWORD style, const char* title,
                               WWindow* newHandler, HMENU menuOrId, DWORD exStyle)
{
    Create(parent, FRAME_CLASS_NAME, x, y, width, height, style, title, newHandler, menuOrId, exStyle);
}

namespace {
void EraseBackground(WFrameWindow* frame, HWND window, HDC dc)
{
    if (frame->background == BACKGROUND_NONE)
        return;
    RECT client;
    GetClientRect(window, &client);
    const auto colour = static_cast<uint32_t>(frame->background);
    if (colour & BACKGROUND_SYSTEM_COLOUR) {
        FillRect(dc, &client, GetSysColorBrush(static_cast<int>(colour & ~BACKGROUND_SYSTEM_COLOUR)));
    } else {
        const ScopedBrush brush(CreateSolidBrush(colour));
        FillRect(dc, &client, brush.Get());
    }
}
}

LRESULT CALLBACK FrameClassProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Messages sent while CreateWindowExA runs arrive before the object is bound.
    auto* frame = reinterpret_cast<WFrameWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
    case WM_DESTROY:
        if (window == framework.mainWindow)
            PostQuitMessage(0);
        break;
    case WM_PAINT: {
        const ScopedPaint validate(window);
        break;
    }
    case WM_ERASEBKGND:
        if (frame == nullptr)
            break;
        EraseBackground(frame, window, reinterpret_cast<HDC>(wParam));
        return 1;
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (frame != nullptr)
            frame->OnScrollBar(message, wParam);
        break;
    case WM_MOUSEMOVE:
        if (frame != nullptr)
            frame->ApplyCursor();
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
