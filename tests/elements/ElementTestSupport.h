#pragma once

#include "elements/ContainerElement.h"
#include "elements/ElementHost.h"
#include "elements/OffscreenBuffer.h"

#include <windows.h>
#include <windowsx.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// A visible top-level window that hosts elements the way the list window does:
// presses go to TrackPress, moves to OnMouseMove, painting through an
// OffscreenBuffer. It records the WM_COMMAND messages that reach it.
class HostWindow {
public:
    struct Command {
        WPARAM wParam;
        LPARAM lParam;
    };

    HostWindow(int width = 200, int height = 120)
    {
        window_ = CreateWindowExW(0, ClassName(), L"elements", WS_POPUP | WS_VISIBLE, 50, 50, width, height,
            nullptr, nullptr, GetModuleHandleW(nullptr), this);
        host.Attach(window_);
        UpdateWindow(window_);
    }
    ~HostWindow() { DestroyWindow(window_); }
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;
    HWND Handle() const { return window_; }

    ContainerElement* MakeRoot()
    {
        RECT client = {};
        GetClientRect(window_, &client);
        auto root = std::make_unique<ContainerElement>();
        root->SetRect(client);
        ContainerElement* const made = root.get();
        host.SetRoot(std::move(root));
        return made;
    }

    void Post(UINT message, int x, int y, WPARAM wParam = 0) const
    {
        PostMessageW(window_, message, wParam, MAKELPARAM(x, y));
    }

    // Runs the thread's queue dry, the way the application's loop would.
    static void Pump()
    {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));
                return;
            }
            DispatchMessageW(&message);
        }
    }

    ElementHost host;
    std::vector<Command> commands;
    std::function<void()> onCommand;
    std::function<void()> onApp;  // runs when WM_APP arrives
    bool pressTaken = false;

private:
    static const wchar_t* ClassName()
    {
        static const ATOM atom = [] {
            WNDCLASSEXW windowClass = {};
            windowClass.cbSize = sizeof(windowClass);
            windowClass.lpfnWndProc = Procedure;
            windowClass.hInstance = GetModuleHandleW(nullptr);
            windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
            windowClass.lpszClassName = L"FarrowgateElementsTest";
            return RegisterClassExW(&windowClass);
        }();
        return atom ? L"FarrowgateElementsTest" : nullptr;
    }

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE) {
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (!self) {
            return DefWindowProcW(window, message, wParam, lParam);
        }
        const POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        switch (message) {
        case WM_LBUTTONDOWN:
            self->pressTaken = self->host.TrackPress(point);
            return 0;
        case WM_MOUSEMOVE:
            self->host.OnMouseMove(point);
            return 0;
        case WM_COMMAND:
            self->commands.push_back({wParam, lParam});
            if (self->onCommand) {
                self->onCommand();
            }
            return 0;
        case WM_APP:
            if (self->onApp) {
                self->onApp();
            }
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            const HDC dc = BeginPaint(window, &paint);
            {
                RECT client = {};
                GetClientRect(window, &client);
                const OffscreenBuffer buffer(dc, &client);
                self->host.Paint(buffer.Get(), &paint.rcPaint);
            }
            EndPaint(window, &paint);
            return 0;
        }
        default:
            return DefWindowProcW(window, message, wParam, lParam);
        }
    }

    HWND window_ = nullptr;
};

using EventLog = std::vector<std::string>;

// An element of class Base that writes its mouse events into a log.
// A leave while the element is no longer in a container shows as "leave-detached".
template <typename Base>
class Recording : public Base {
public:
    template <typename... Args>
    Recording(EventLog& log, std::string name, Args&&... args)
        : Base(std::forward<Args>(args)...), log_(log), name_(std::move(name))
    {
    }

    void OnMouseEnter() override { Log(" enter"); Base::OnMouseEnter(); }
    void OnMouseLeave() override { Log(this->Parent() ? " leave" : " leave-detached"); Base::OnMouseLeave(); }
    void OnMouseDown() override { Log(" down"); Base::OnMouseDown(); }
    void OnMouseUp() override { Log(" up"); Base::OnMouseUp(); }
    void OnMouseDrag() override { Log(" drag"); Base::OnMouseDrag(); }

private:
    void Log(const char* event) { log_.push_back(name_ + event); }

    EventLog& log_;
    const std::string name_;
};
