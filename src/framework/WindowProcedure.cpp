#include "framework/WindowProcedure.h"

#include <cstdlib>

#include "common/ScopedGdi.h"
#include "framework/FrameworkState.h"
#include "framework/WCanvas.h"
#include "framework/WFrameWindow.h"
#include "framework/WPaintCanvas.h"
#include "framework/WWindowCanvas.h"

namespace {

// Mouse and move coordinates are taken with their sign: a captured mouse left of the window, a
// window moved partly off the screen, and wheel positions on a monitor left of the primary one
// are negative, never 65535-something.
int LowSigned(LPARAM lParam)
{
    return static_cast<short>(LOWORD(lParam));
}
int HighSigned(LPARAM lParam)
{
    return static_cast<short>(HIWORD(lParam));
}

void CancelDrag()
{
    if (DragActive() && framework.dragState.window != nullptr)
        framework.dragState.window->EndDrag(DRAG_END_CANCEL);
}

void ReapplyExtent(WWindow* object)
{
    WFrameWindow* frame = object->AsFrameWindow();
    if (frame != nullptr && (frame->extentX != 0 || frame->extentY != 0))
        frame->SetExtent(frame->extentX, frame->extentY, 1);
}

void Paint(HWND hwnd, WWindow* object, WWindow* handler, WPARAM wParam, LPARAM lParam)
{
    RECT update;
    GetUpdateRect(hwnd, &update, FALSE);  // before BeginPaint or the previous procedure validates
    if (handler->flags & WWindow::HasOnPaint) {
        WPaintCanvas canvas(hwnd, 1);
        handler->OnPaint(object, &canvas, &update);
        canvas.End();
        return;
    }
    CallWindowProcA(object->previousProc, hwnd, WM_PAINT, wParam, lParam);
    if (handler->flags & WWindow::HasOnPostPaint) {
        WWindowCanvas canvas(hwnd, 1);
        {
            const ScopedRegion clip(CreateRectRgnIndirect(&update));
            SelectClipRgn(canvas.hdc, clip.Get());  // the DC takes a copy; ours goes after the hook
            handler->OnPostPaint(object, &canvas, &update);
        }
        canvas.Release();
    }
}

BOOL CALLBACK AskDescendant(HWND child, LPARAM vetoed)
{
    WWindow* object = WWindow::FromHandle(child);
    if (object == nullptr)
        return TRUE;
    if (object->handler->CanClose(object, CLOSE_REQUEST) == 0) {
        *reinterpret_cast<bool*>(vetoed) = true;
        return FALSE;
    }
    return TRUE;
}

// A close request asks the window and then every descendant; any one of them may refuse. The
// previous procedure never sees WM_CLOSE, so nothing closes behind the handlers' backs.
void Close(HWND hwnd, WWindow* object, WWindow* handler)
{
    if (handler->CanClose(object, CLOSE_REQUEST) == 0)
        return;
    bool vetoed = false;
    EnumChildWindows(hwnd, AskDescendant, reinterpret_cast<LPARAM>(&vetoed));
    if (!vetoed)
        object->Destroy();
}

// Owner-draw requests go to the control's own handler when it asks for them (OwnItemDraw), else
// to the window's. Menu items have no control and go to the window's handler.
WWindow* ItemTarget(WWindow* object, WWindow* control)
{
    return (control != nullptr && (control->flags & WWindow::OwnItemDraw)) ? control : object;
}

void DrawItem(WWindow* object, WWindow* handler, LPARAM lParam)
{
    auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
    if (item->CtlType == ODT_MENU) {
        handler->OnDrawItem(handler, nullptr, item);
        return;
    }
    WWindow* control = WWindow::FromHandle(item->hwndItem);
    WWindow* target = ItemTarget(object, control);
    target->handler->OnDrawItem(target, control, item);
}

// Returns true for a menu item, which goes on to default processing.
bool MeasureItem(HWND hwnd, WWindow* object, WWindow* handler, LPARAM lParam)
{
    auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
    if (item->CtlType == ODT_MENU) {
        handler->OnMeasureItem(handler, nullptr, item);
        return true;
    }
    WWindow* control = WWindow::FromHandle(GetDlgItem(hwnd, static_cast<int>(item->CtlID)));
    WWindow* target = ItemTarget(object, control);
    target->handler->OnMeasureItem(target, control, item);
    return false;
}

bool CompareItem(WWindow* object, WWindow* handler, LPARAM lParam)
{
    auto* item = reinterpret_cast<COMPAREITEMSTRUCT*>(lParam);
    if (item->CtlType == ODT_MENU) {
        handler->OnCompareItem(handler, nullptr, item);
        return true;
    }
    WWindow* control = WWindow::FromHandle(item->hwndItem);
    WWindow* target = ItemTarget(object, control);
    target->handler->OnCompareItem(target, control, item);
    return false;
}

void MouseMove(HWND hwnd, WWindow* object, WWindow* handler, WPARAM wParam, int x, int y)
{
    FrameworkState& f = framework;
    handler->OnMouseMessage(object, WM_MOUSEMOVE, wParam, x, y);
    SetHoverWindow(object, hwnd);
    if (abs(x - f.hoverPoint.x) > f.hoverThreshold || abs(y - f.hoverPoint.y) > f.hoverThreshold) {
        f.hoverPoint.x = x;
        f.hoverPoint.y = y;
        if (f.hoverCountdown == 0)
            handler->OnHover(object, 0, 0, 1);
        f.hoverCountdown = object->hoverDelay;
    }
    if (DragActive()) {
        if (f.dragState.window != nullptr)
            f.dragState.window->MoveDrag(x, y);
        return;
    }
    handler->OnMouseMove(object, x, y, wParam);
    WFrameWindow* frame = object->AsFrameWindow();
    if (frame != nullptr && f.dragState.countdown < DRAG_COUNTDOWN_IDLE - 1) {
        if (abs(x - f.pressPoint.x) < frame->dragThreshold && abs(y - f.pressPoint.y) < frame->dragThreshold) {
            f.pressHeld = 1;
        } else {
            // Moved far enough: the drag starts at the next timer tick.
            f.pressHeld = 0;
            f.dragState.countdown = 0;
        }
    }
}

void LeftButtonDown(WWindow* object, WWindow* handler, WPARAM wParam, int x, int y)
{
    FrameworkState& f = framework;
    WFrameWindow* frame = object->AsFrameWindow();
    if (frame != nullptr) {
        f.pressPoint.x = x;
        f.pressPoint.y = y;
        f.dragState.window = frame;
        f.dragState.clickState = -1;
        f.dragState.countdown = frame->dragDelay;
        f.pressHeld = 1;
    } else {
        // A new press: whatever an earlier drag left (its release may have gone to another
        // program) says nothing about this one.
        f.dragState.clickState = 0;
    }
    handler->OnMouseMessage(object, WM_LBUTTONDOWN, wParam, x, y);
}

void LeftButtonUp(WWindow* object, WWindow* handler, WPARAM wParam, int x, int y)
{
    FrameworkState& f = framework;
    f.pressHeld = 0;
    handler->OnMouseMessage(object, WM_LBUTTONUP, wParam, x, y);
    if (DragActive()) {
        if (f.dragState.window != nullptr)
            f.dragState.window->EndDrag(DRAG_END_DROP);
    } else if (f.dragState.clickState != 1) {
        handler->OnClick(object, x, y);
    }
    // The press is over, whether it became a drag (dropped now, or ended before: no click) or not.
    f.dragState.clickState = 0;
    f.dragState.window = nullptr;
    f.dragState.countdown = DRAG_COUNTDOWN_IDLE;
}

}  // namespace

LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    WWindow* object = WWindow::FromHandle(hwnd);
    if (object == nullptr)  // someone removed the binding; there is no procedure left to ask
        return DefWindowProcA(hwnd, message, wParam, lParam);
    WWindow* handler = object->handler;

    LRESULT result = 1;
    int dispatch = object->FilterMessage(object, message, wParam, lParam, &result);
    if (!(dispatch & DISPATCH_DONE)) {
        switch (message) {
        case WM_DESTROY:
            handler->OnDestroy(object);
            ForgetTrackedWindow(object);
            if (hwnd == framework.mainWindow) {
                framework.mainWindow = nullptr;
                if (!(object->flags & WWindow::KeepLoopOnDestroy))
                    PostQuitMessage(0);
            }
            object->hwnd = nullptr;
            break;
        case WM_MOVE:
            handler->OnMove(object, LowSigned(lParam), HighSigned(lParam));
            break;
        case WM_SIZE:
            ReapplyExtent(object);
            handler->OnSize(object, LOWORD(lParam), HIWORD(lParam));
            break;
        case WM_ACTIVATE:
            if (wParam == WA_INACTIVE)
                CancelDrag();
            break;
        case WM_SETFOCUS: {
            // The loser hears of it here when it is ours; its own WM_KILLFOCUS stayed silent.
            WWindow* loser = WWindow::FromHandle(reinterpret_cast<HWND>(wParam));
            if (loser != nullptr)
                loser->handler->OnKillFocus(loser);
            handler->OnSetFocus(object);
            break;
        }
        case WM_KILLFOCUS:
            if (WWindow::FromHandle(reinterpret_cast<HWND>(wParam)) == nullptr)
                handler->OnKillFocus(object);
            break;
        case WM_PAINT:
            Paint(hwnd, object, handler, wParam, lParam);
            return 0;
        case WM_CLOSE:
            Close(hwnd, object, handler);
            return 0;
        case WM_ERASEBKGND: {
            WCanvas canvas;
            canvas.Attach(reinterpret_cast<HDC>(wParam));
            const int erased = handler->OnEraseBackground(object, &canvas);
            canvas.Detach();
            if (erased == 1)
                return 1;
            break;
        }
        case WM_SHOWWINDOW:
            if (wParam == 1) {
                ReapplyExtent(object);
                handler->OnShow(object);
            } else {
                handler->OnHide(object);
            }
            break;
        case WM_MOUSEACTIVATE:
            handler->OnMouseMessage(object, message, wParam, LowSigned(lParam), HighSigned(lParam));
            break;
        case WM_DRAWITEM:
            DrawItem(object, handler, lParam);
            return 1;
        case WM_MEASUREITEM:
            if (!MeasureItem(hwnd, object, handler, lParam))
                return 1;
            break;
        case WM_COMPAREITEM:
            if (!CompareItem(object, handler, lParam))
                return 1;
            break;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            WWindow* control = WWindow::FromHandle(header->hwndFrom);
            WWindow* target = (control != nullptr && (control->flags & WWindow::OwnNotify)) ? control : object;
            result = 0;
            dispatch = target->handler->OnNotify(target, control, header, &result);
            break;
        }
        case WM_NCMOUSEMOVE:
            SetHoverWindow(object, hwnd);
            break;
        case WM_KEYDOWN:
            for (int repeat = LOWORD(lParam); repeat > 0; --repeat)
                handler->OnKeyDown(object, static_cast<int>(wParam));
            break;
        case WM_CHAR:
            if (wParam == VK_ESCAPE)
                CancelDrag();
            handler->OnChar(object, static_cast<int>(wParam));
            break;
        case WM_COMMAND: {
            auto controlWindow = reinterpret_cast<HWND>(lParam);
            WWindow* control = WWindow::FromHandle(controlWindow);
            WWindow* target = (control != nullptr && (control->flags & WWindow::OwnCommand)) ? control : object;
            dispatch = target->handler->OnCommand(target, control, HIWORD(wParam), controlWindow, LOWORD(wParam));
            break;
        }
        case WM_MOUSEMOVE:
            MouseMove(hwnd, object, handler, wParam, LowSigned(lParam), HighSigned(lParam));
            break;
        case WM_LBUTTONDOWN:
            LeftButtonDown(object, handler, wParam, LowSigned(lParam), HighSigned(lParam));
            break;
        case WM_LBUTTONUP:
            LeftButtonUp(object, handler, wParam, LowSigned(lParam), HighSigned(lParam));
            break;
        case WM_LBUTTONDBLCLK:
            handler->OnMouseMessage(object, message, wParam, LowSigned(lParam), HighSigned(lParam));
            handler->OnDoubleClick(object, LowSigned(lParam), HighSigned(lParam));
            break;
        case WM_RBUTTONUP:
            handler->OnRightButtonUp(object, LowSigned(lParam), HighSigned(lParam));
            break;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_MBUTTONDBLCLK:
        case WM_MOUSEWHEEL:
            handler->OnMouseMessage(object, message, wParam, LowSigned(lParam), HighSigned(lParam));
            break;
        case WM_CAPTURECHANGED:
            handler->OnMouseMessage(object, message, static_cast<WPARAM>(lParam), 0, 0);
            CancelDrag();
            break;
        default:
            break;
        }
    }
    if (!(dispatch & DISPATCH_RETURN_RESULT)) {
        // The frame class procedure is our own ANSI procedure: calling it directly is what
        // CallWindowProcA would do, without the system's detour.
        if (object->previousProc == FrameClassProcedure)
            result = FrameClassProcedure(hwnd, message, wParam, lParam);
        else
            result = CallWindowProcA(object->previousProc, hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {  // the window's last message: its handle may be reused after this
        // Again here, whatever FilterMessage did with WM_DESTROY: neither the timer nor a later
        // message may reach the object through the hover or drag record once it can be deleted.
        ForgetTrackedWindow(object);
        ForgetBinding(hwnd);
    }
    return result;
}
