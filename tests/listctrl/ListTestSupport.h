#pragma once

#include "listctrl/ListControl.h"
#include "listctrl/ListNotify.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

// One WM_NOTIFY as the parent received it.
struct Notification {
    UINT code;
    int key;
    int extra;
    HWND sender;
    UINT_PTR identifier; // the record's idFrom
    WPARAM wParam;

    bool operator==(const Notification& other) const
    {
        return code == other.code && key == other.key && extra == other.extra && sender == other.sender
            && identifier == other.identifier && wParam == other.wParam;
    }
};

// So that a failed comparison of two sequences reads as a diff.
void PrintTo(const Notification& notification, std::ostream* out);

// A visible top-level window that records every WM_NOTIFY it receives and can
// act on them through onNotify.
class TestParent {
public:
    TestParent(int width = 480, int height = 400);
    ~TestParent();
    TestParent(const TestParent&) = delete;
    TestParent& operator=(const TestParent&) = delete;

    HWND Handle() const { return window_; }

    std::vector<Notification> notifications;
    std::function<void(const ListNotify&)> onNotify;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
};

// The child identifier the tests give their lists.
constexpr UINT kListId = 7;
// Where the tests put their lists inside the parent.
constexpr int kListLeft = 10;
constexpr int kListTop = 10;
// The main window's list styles: a static edge of 1 pixel, both scroll bars asked for.
constexpr DWORD kListExStyle = WS_EX_STATICEDGE;
constexpr DWORD kListStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP;

// Creates list in parent so that its client area is width × height (before a
// vertical scroll bar takes its share of the width).
bool CreateList(ListControl& list, const TestParent& parent, int width, int height);

// What the parent should have received from list.
Notification Expected(const ListControl& list, UINT code, int key, int extra = 0);

// Appends plain rows with the given keys and heights, then lays them out.
std::vector<ListRow*> AddRows(ListControl& list, const std::vector<std::pair<int, int>>& keysAndHeights);
// n rows of the height, keys 1 … n.
std::vector<ListRow*> AddRows(ListControl& list, int count, int height);

LPARAM PointParam(int x, int y);
// The vertical scroll bar's position.
int VerticalPosition(const ListControl& list);
// Dispatches everything queued for this thread.
void Pump();
