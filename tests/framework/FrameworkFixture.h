#pragma once
// A fixture that owns the test's window objects, destroys their windows before deleting them,
// and leaves no message (a posted quit message included) for the next test.
#include <memory>
#include <vector>

#include "SlotRecorder.h"

static testing::Environment* const frameworkEnvironment = testing::AddGlobalTestEnvironment(new rec::Environment);

class FrameworkTest : public testing::Test {
protected:
    void SetUp() override
    {
        rec::Settle();
        ExchangeMainWindow(nullptr);
        StopSharedTimer();
        rec::WatchedMessage() = 0xFFFFFFFF;
    }
    void TearDown() override
    {
        StopSharedTimer();  // no tick may reach a window on its way out, or the next test
        for (auto it = objects.rbegin(); it != objects.rend(); ++it)
            (*it)->Destroy();
        rec::Settle();
        objects.clear();
        ExchangeMainWindow(nullptr);
        framework.dragState.window = nullptr;
        framework.dragState.countdown = DRAG_COUNTDOWN_IDLE;
    }
    template <class T>
    T* Make(const char* label)
    {
        objects.push_back(std::make_unique<T>(label));
        return static_cast<T*>(objects.back().get());
    }
    // A visible window of the logging test class inside the host, away from the mouse.
    template <class T>
    T* Window(const char* label, WWindow* handler = nullptr)
    {
        T* w = Make<T>(label);
        w->Create(rec::Host(), rec::TEST_CLASS, 0, 0, 300, 200, WS_CHILD | WS_VISIBLE, label, handler, nullptr, 0);
        return w;
    }
    // A visible frame window (the framework's own class) inside the host.
    template <class T>
    T* Frame(const char* label, WWindow* handler = nullptr)
    {
        T* w = Make<T>(label);
        w->CreateFrame(rec::Host(), 0, 0, 300, 200, WS_CHILD | WS_VISIBLE, label, handler, nullptr, 0);
        return w;
    }
    // A hidden top-level frame window: the kind that becomes the main window.
    template <class T>
    T* TopLevel(const char* label, WWindow* handler = nullptr)
    {
        T* w = Make<T>(label);
        w->CreateFrame(nullptr, 0, 0, 300, 200, WS_POPUP, label, handler, nullptr, 0);
        return w;
    }
    template <class T>
    T* Child(const char* label, WWindow* parent, int id, const char* className = rec::TEST_CLASS)
    {
        T* w = Make<T>(label);
        w->Create(parent->hwnd, className, 10 + 60 * (id % 4), 10, 50, 40, 0, label, nullptr,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), 0);
        return w;
    }

    std::vector<std::unique_ptr<WWindow>> objects;
};
