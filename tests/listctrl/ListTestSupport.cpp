#include "tests/listctrl/ListTestSupport.h"

#include <utility>

constexpr wchar_t kParentClass[] = L"FarrowgateListTestParent";

void PrintTo(const Notification& notification, std::ostream* out)
{
    *out << "code " << static_cast<int>(notification.code) << " key " << notification.key << " extra "
         << notification.extra << " from " << notification.sender << " id " << notification.identifier << " wParam "
         << notification.wParam;
}

TestParent::TestParent(int width, int height)
{
    static const ATOM registered = [] {
        WNDCLASSEXW windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kParentClass;
        return RegisterClassExW(&windowClass);
    }();
    (void)registered;
    window_ = CreateWindowExW(0, kParentClass, L"list test", WS_POPUP | WS_VISIBLE, 40, 40, width, height, nullptr,
        nullptr, GetModuleHandleW(nullptr), this);
    SetForegroundWindow(window_);
    UpdateWindow(window_);
}

TestParent::~TestParent()
{
    DestroyWindow(window_);
}

LRESULT CALLBACK TestParent::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* const self = reinterpret_cast<TestParent*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message == WM_NOTIFY) {
        const auto& notify = *reinterpret_cast<const ListNotify*>(lParam);
        self->notifications.push_back(
            {notify.hdr.code, notify.key, notify.extra, notify.hdr.hwndFrom, notify.hdr.idFrom, wParam});
        if (self->onNotify) {
            self->onNotify(notify);
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool CreateList(ListControl& list, const TestParent& parent, int width, int height)
{
    RECT frame = {0, 0, width, height};
    AdjustWindowRectEx(&frame, WS_CHILD, FALSE, kListExStyle);
    return list.Create(parent.Handle(), kListExStyle, kListStyle, kListLeft, kListTop, frame.right - frame.left,
        frame.bottom - frame.top, kListId);
}

Notification Expected(const ListControl& list, UINT code, int key, int extra)
{
    return {code, key, extra, list.Handle(), kListId, kListId};
}

std::vector<ListRow*> AddRows(ListControl& list, const std::vector<std::pair<int, int>>& keysAndHeights)
{
    std::vector<ListRow*> rows;
    for (const auto& [key, height] : keysAndHeights) {
        auto row = std::make_unique<ListRow>(key);
        rows.push_back(row.get());
        list.Body()->AddRow(std::move(row), list.ClientWidth(), height);
    }
    list.Relayout();
    return rows;
}

std::vector<ListRow*> AddRows(ListControl& list, int count, int height)
{
    std::vector<std::pair<int, int>> keysAndHeights;
    for (int key = 1; key <= count; ++key) {
        keysAndHeights.emplace_back(key, height);
    }
    return AddRows(list, keysAndHeights);
}

LPARAM PointParam(int x, int y)
{
    return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
}

int VerticalPosition(const ListControl& list)
{
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    GetScrollInfo(list.Handle(), SB_VERT, &info);
    return info.nPos;
}

void Pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}
