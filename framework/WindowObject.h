#pragma once

#include <windows.h>

#include "framework/MessageMap.h"

// The base of every window class: an object bound one-to-one to a Win32
// window. The window's user-data slot holds the object's address.
//
// The object must outlive its window; if it is destroyed first, it unbinds
// itself (clears the slot and puts the previous window procedure back) so the
// window never reaches a dead object. It never destroys the window.
class WindowObject {
public:
    WindowObject() = default;
    WindowObject(const WindowObject&) = delete;
    WindowObject& operator=(const WindowObject&) = delete;

    // The most-derived class's table. Every class with a table of its own overrides it.
    virtual const MessageMap* GetMessageMap() const;
    virtual ~WindowObject();
    // Looks the message up along the table chain and runs the handler found.
    // Returns false (storing nothing) when no table has an entry for it.
    virtual bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // A message that the parent hands back to this control's object (only WM_DRAWITEM).
    virtual bool OnReflectedMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // Lets a class adjust its window class description just before Create registers it.
    virtual void PreRegisterClass(WNDCLASSEXW& windowClass);
    // Runs in Subclass after binding, before the window procedure is replaced.
    virtual void OnAttached();
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Default processing: the window's previous procedure.
    virtual LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);

    // This class's own table, as the base getter of derived tables.
    static const MessageMap* ClassMessageMap();

    // Creates a window of the named class (registering the class on first use)
    // and binds this object to it before its first message.
    bool Create(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style, int x, int y,
        int width, int height, HWND parent, HMENU menuOrId);
    // Binds without subclassing: the handle here, this object in the window's user-data slot.
    bool Attach(HWND window);
    // Attach, OnAttached, then route the window's messages through WindowProc.
    bool Subclass(HWND window);
    // The entry that handles the message, or null.
    const MessageMapEntry* FindMessageEntry(UINT message, WPARAM wParam) const;

    HWND Handle() const { return window_; }
    // The object bound to a window, or null.
    static WindowObject* FromHandle(HWND window);

protected:
    // Mapped to WM_ERASEBKGND by windows that paint their whole client area:
    // nothing is drawn and the background counts as erased.
    LRESULT EraseBackgroundHandler(WPARAM wParam, LPARAM lParam);

private:
    // Hands an owner-drawn child's drawing request to the child's own object.
    LRESULT OnDrawItem(WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    WNDPROC previousProc_ = nullptr;
};

// The window procedure of every subclassed window.
LRESULT CALLBACK ObjectWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The thread's WH_CBT hook while Create runs: binds the window being created.
LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam);

// Mouse position of a mouse message; positions left of or above the client
// area come out negative.
POINT PointFromLParam(LPARAM lParam);
// Converts a rectangle from screen to the window's client coordinates.
void ScreenRectToClient(HWND window, RECT& rect);
