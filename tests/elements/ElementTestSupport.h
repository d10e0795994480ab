#pragma once

#include "draw/GdiHandles.h"
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

// A 32-bit top-down DIB section in a memory DC: whatever is drawn on the DC
// can be read back pixel by pixel.
class PixelCanvas {
public:
    PixelCanvas(int width, int height, COLORREF background = RGB(255, 255, 255))
        : width_(width), dc_(nullptr), bitmap_(MakeBitmap(width, height)), select_(dc_.Get(), bitmap_.Get())
    {
        const RECT all = {0, 0, width, height};
        const ScopedBrush brush(CreateSolidBrush(background));
        FillRect(dc_.Get(), &all, brush.Get());
    }

    HDC Dc() const { return dc_.Get(); }

    COLORREF Pixel(int x, int y) const
    {
        GdiFlush();
        const DWORD pixel = bits_[y * width_ + x];
        return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    }

    // Pixels of a rectangle, row by row.
    std::vector<COLORREF> Pixels(const RECT& area) const
    {
        std::vector<COLORREF> pixels;
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                pixels.push_back(Pixel(x, y));
            }
        }
        return pixels;
    }

    // The smallest rectangle holding every pixel of the area darker than the threshold
    // (in each channel); empty when there is none.
    RECT DarkBounds(const RECT& area, int threshold = 96) const
    {
        RECT bounds = {};
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                const COLORREF c = Pixel(x, y);
                if (GetRValue(c) < threshold && GetGValue(c) < threshold && GetBValue(c) < threshold) {
                    const RECT dot = {x, y, x + 1, y + 1};
                    UnionRect(&bounds, &bounds, &dot);
                }
            }
        }
        return bounds;
    }

private:
    HBITMAP MakeBitmap(int width, int height)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* memory = nullptr;
        const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
        bits_ = static_cast<const DWORD*>(memory);
        return bitmap;
    }

    const int width_;
    const DWORD* bits_ = nullptr;
    ScopedMemoryDC dc_;
    ScopedBitmap bitmap_;
    ScopedSelectObject select_;
};

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

    // A root as large as the client area.
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

// An element of class Base that writes its mouse and size events into a log.
// A leave while the element is no longer in a container shows as "leave-detached".
template <typename Base>
class Recording : public Base {
public:
    template <typename... Args>
    Recording(EventLog& log, std::string name, Args&&... args)
        : Base(std::forward<Args>(args)...), log_(log), name_(std::move(name))
    {
    }

    void OnMouseEnter() override
    {
        log_.push_back(name_ + " enter");
        Base::OnMouseEnter();
    }
    void OnMouseLeave() override
    {
        log_.push_back(name_ + (this->Parent() ? " leave" : " leave-detached"));
        Base::OnMouseLeave();
    }
    void OnMouseDown() override
    {
        log_.push_back(name_ + " down");
        Base::OnMouseDown();
    }
    void OnMouseUp() override
    {
        log_.push_back(name_ + " up");
        Base::OnMouseUp();
    }
    void OnMouseDrag() override
    {
        log_.push_back(name_ + " drag");
        Base::OnMouseDrag();
    }
    void OnSize() override
    {
        log_.push_back(name_ + " size");
        Base::OnSize();
    }

private:
    EventLog& log_;
    const std::string name_;
};
