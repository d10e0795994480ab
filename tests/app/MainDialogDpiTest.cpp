// The main window moved to a display of another scale than the one it opened on.
#include "app/MainDialog.h"
#include "tests/support/ScratchRegistry.h"

#include <gtest/gtest.h>

namespace {

MainDialog* g_dialog = nullptr;
bool g_moved = false;

// Once the list shows its rows: row 2 selected, then a move to a display of 192 DPI with a new rectangle.
void CALLBACK MoveTo192Dpi(HWND, UINT, UINT_PTR, DWORD)
{
    const HWND dialog = g_dialog->Handle();
    auto* list = dynamic_cast<SoftwareListView*>(
        WindowObject::FromHandle(FindWindowExW(dialog, nullptr, kListClassName, nullptr)));
    if (g_moved || !list || !list->FindByKey(3)) {
        return;
    }
    g_moved = true;
    SendMessageW(list->Handle(), WM_KEYDOWN, VK_DOWN, 0);
    SendMessageW(list->Handle(), WM_KEYDOWN, VK_DOWN, 0);
    RECT suggested = {30, 20, 750, 580}, taken = {};
    SendMessageW(dialog, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    GetWindowRect(dialog, &taken);
    EXPECT_TRUE(EqualRect(&taken, &suggested));
    const RECT row = list->FindByKey(3)->Rect();
    EXPECT_EQ(row.bottom - row.top, 100);
    EXPECT_EQ(list->SelectedRow(), list->FindByKey(2));
    EndDialog(dialog, 0);
}

TEST(MainDialogDpiTest, TakesTheSuggestedRectangleAndTheListLaysItselfOutAtTheNewScaleKeepingTheSelection)
{
    ScratchRegistry registry;
    for (const wchar_t* name : {L"Velmo A", L"Velmo B", L"Velmo C"}) {
        registry.AddProduct(true, name, name, L"x.exe");
    }
    MainDialog dialog;
    g_dialog = &dialog;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, &MoveTo192Dpi);
    dialog.DoModal(nullptr);
    KillTimer(nullptr, timer);
    EXPECT_TRUE(g_moved);
}

} // namespace
