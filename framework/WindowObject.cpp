#include "framework/WindowObject.h"

namespace {

// Set only while Create runs: the hook that binds the window being created,
// and the object it is to be bound to until its first HCBT_CREATEWND.
HHOOK creationHook = nullptr;
WindowObject* pendingObject = nullptr;

void RegisterClassOnce(WindowObject& object, HINSTANCE module, const wchar_t* className)
{
    WNDCLASSW existing{};
    if (GetClassInfoW(module, className, &existing)) {
        return;
    }
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = module;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = className;
    object.PreRegisterClass(windowClass);
    // A failed registration shows up as a failed creation.
    RegisterClassExW(&windowClass);
}

} // namespace

const MessageMap* WindowObject::ClassMessageMap()
{
    static const MessageMapEntry entries[] = {
        MessageEntry(WM_DRAWITEM, &WindowObject::OnDrawItem),
        EndOfMessageMap(),
    };
    static const MessageMap map = {nullptr, entries};
    return &map;
}

const MessageMap* WindowObject::GetMessageMap() const
{
    return ClassMessageMap();
}

WindowObject::~WindowObject()
{
    // Normally the window is gone by now. If it is not, let it carry on
    // without us rather than route its next message to a destroyed object.
    if (!window_ || !IsWindow(window_) || FromHandle(window_) != this) {
        return;
    }
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    if (previousProc_ && GetWindowLongPtrW(window_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&ObjectWindowProc)) {
        SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProc_));
    }
}

// What a handler returns is the message's result. For a window it is what the
// window procedure returns. For a dialog it is what the dialog procedure
// returns: non-zero says the message was handled, 0 hands it on to the dialog
// manager's default processing (a dialog message that needs a result value of
// its own would set DWLP_MSGRESULT; none of ours do). A message no table maps
// goes to DefaultProc instead.
bool WindowObject::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    const MessageMapEntry* entry = FindMessageEntry(message, wParam);
    if (!entry) {
        return false;
    }
    const LRESULT handlerResult = (this->*entry->handler)(wParam, lParam);
    if (result) {
        *result = handlerResult;
    }
    return true;
}

bool WindowObject::OnReflectedMessage(UINT, WPARAM, LPARAM, LRESULT*)
{
    return false;
}

void WindowObject::PreRegisterClass(WNDCLASSEXW&) {}

void WindowObject::OnAttached() {}

LRESULT WindowObject::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (ProcessMessage(message, wParam, lParam, &result)) {
        return result;
    }
    return DefaultProc(message, wParam, lParam);
}

LRESULT WindowObject::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcW(previousProc_, window_, message, wParam, lParam);
}

bool WindowObject::Create(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style, int x, int y,
    int width, int height, HWND parent, HMENU menuOrId)
{
    const HINSTANCE module = GetModuleHandleW(nullptr);
    RegisterClassOnce(*this, module, className);

    // A Create from inside another window's creation uses the hook already there.
    const bool ownsHook = creationHook == nullptr;
    if (ownsHook) {
        creationHook = SetWindowsHookExW(WH_CBT, CreationHook, nullptr, GetCurrentThreadId());
    }
    pendingObject = this;
    const HWND window =
        CreateWindowExW(exStyle, className, windowName, style, x, y, width, height, parent, menuOrId, module, nullptr);
    // A creation that failed before its first hook call must not leave us
    // pending for somebody else's window.
    pendingObject = nullptr;
    if (ownsHook) {
        UnhookWindowsHookEx(creationHook);
        creationHook = nullptr;
    }
    return window != nullptr;
}

bool WindowObject::Attach(HWND window)
{
    if (!window) {
        return false;
    }
    window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    return true;
}

bool WindowObject::Subclass(HWND window)
{
    if (!Attach(window)) {
        return false;
    }
    OnAttached();
    previousProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ObjectWindowProc)));
    return true;
}

const MessageMapEntry* WindowObject::FindMessageEntry(UINT message, WPARAM wParam) const
{
    const bool isCommand = message == WM_COMMAND;
    const UINT kind = isCommand ? kCommandEntry : kMessageEntry;
    const UINT key = isCommand ? LOWORD(wParam) : message;
    for (const MessageMap* map = GetMessageMap(); map; map = map->baseGetter ? map->baseGetter() : nullptr) {
        for (const MessageMapEntry* entry = map->entries; entry->key != 0; ++entry) {
            if (entry->kind == kind && entry->key == key) {
                return entry;
            }
        }
    }
    return nullptr;
}

LRESULT WindowObject::EraseBackgroundHandler(WPARAM, LPARAM)
{
    return 1;
}

WindowObject* WindowObject::FromHandle(HWND window)
{
    return reinterpret_cast<WindowObject*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT WindowObject::OnDrawItem(WPARAM wParam, LPARAM lParam)
{
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item->CtlType == ODT_MENU) {
        return 0;
    }
    WindowObject* control = FromHandle(item->hwndItem);
    if (control && control->OnReflectedMessage(WM_DRAWITEM, wParam, lParam, nullptr)) {
        return TRUE;
    }
    return DefaultProc(WM_DRAWITEM, wParam, lParam);
}

LRESULT CALLBACK ObjectWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowObject* object = WindowObject::FromHandle(window);
    if (!object) {
        // Only after its object was destroyed under a procedure subclassed on top of ours.
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return object->WindowProc(message, wParam, lParam);
}

LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && pendingObject) {
        // Only the window that Create asked for: the first one created under the hook.
        WindowObject* object = pendingObject;
        pendingObject = nullptr;
        object->Subclass(reinterpret_cast<HWND>(wParam));
    }
    return CallNextHookEx(creationHook, code, wParam, lParam);
}

POINT PointFromLParam(LPARAM lParam)
{
    return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

void ScreenRectToClient(HWND window, RECT& rect)
{
    auto* corners = reinterpret_cast<POINT*>(&rect);
    ScreenToClient(window, &corners[0]);
    ScreenToClient(window, &corners[1]);
}
