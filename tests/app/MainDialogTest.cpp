#include "app/MainDialog.h"
#include "res/resource.h"
#include "tests/support/FakeStarts.h"
#include "tests/support/ImportHook.h"
#include "tests/support/ScratchRegistry.h"
#include "tests/support/TestWindow.h"

#include <gtest/gtest.h>

#include <functional>

using Names = std::vector<std::wstring>;
constexpr bool kMachine = true, kUser = false;

std::function<void()> g_onTick;
std::vector<std::tuple<HWND, UINT_PTR, UINT, bool>> g_timers; // asked for: window, id, period, with a callback
const ImportHook* g_setTimer = nullptr;
std::vector<std::tuple<HWND, std::wstring, std::wstring, UINT>> g_boxes; // asked for: owner, caption, text, style
int g_scans = 0;

struct MainDialogTest : public ::testing::Test {
    static HWND List(HWND dialog) { return FindWindowExW(dialog, nullptr, kListClassName, nullptr); }
    static auto& Rows(HWND dialog) { return dynamic_cast<SoftwareListView&>(*WindowObject::FromHandle(List(dialog))); }
    static Names ShownNames(HWND dialog)
    {
        Names names;
        for (int key = 1; const InstalledEntry* entry = Rows(dialog).GetEntryByKey(key); ++key) {
            names.push_back(entry->DisplayName);
        }
        return names;
    }
    static int ScansOfARefresh(HWND dialog)
    {
        g_scans = 0;
        SendMessageW(dialog, WM_REFRESH_PRODUCTS, 0, 0);
        return g_scans;
    }
    static void SendListNotify(HWND dialog, HWND from, UINT code, int key, int extra = IDC_ROW_UNINSTALL)
    {
        ListNotify notify = {{from, 0, code}, key, extra};
        SendMessageW(dialog, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notify));
    }
    static HANDLE WINAPI NoEvent(LPSECURITY_ATTRIBUTES, BOOL, BOOL, LPCWSTR) { return nullptr; }
    static UINT_PTR WINAPI RecordingSetTimer(HWND window, UINT_PTR id, UINT period, TIMERPROC callback)
    {
        g_timers.emplace_back(window, id, period, callback != nullptr);
        return g_setTimer->Original<decltype(&SetTimer)>()(window, id, period, callback);
    }
    static int WINAPI RecordingMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style)
    {
        g_boxes.emplace_back(owner, caption, text, style);
        return IDOK;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) { g_onTick(); }

    // Runs the main dialog modally, its scans counted, with the checks inside its modal loop once it shows and its
    // refresh timer stopped; its message boxes recorded, not shown. DoModal's result, 0 if the checks did not end it.
    static INT_PTR Open(const std::function<void(HWND)>& checks)
    {
        MainDialog dialog(FakeStarter(), [](InstalledEntryList& list) {
            ++g_scans;
            CollectTargetProducts(list);
        });
        const ImportHook boxes("user32.dll", "MessageBoxW", &RecordingMessageBox);
        enum { kWaiting, kChecking, kDone } stage = kWaiting;
        g_onTick = [&] {
            const HWND window = dialog.Handle();
            if (stage == kWaiting && IsWindowVisible(window)) {
                stage = kChecking;
                EXPECT_TRUE(KillTimer(window, kRefreshTimerId)) << "the refresh timer was not running";
                checks(window);
                stage = kDone;
            } else if (stage == kDone) {
                EndDialog(window, 0);
            }
        };
        const UINT_PTR timer = SetTimer(nullptr, 0, 20, &Tick);
        const INT_PTR result = dialog.DoModal(nullptr);
        KillTimer(nullptr, timer);
        EXPECT_EQ(kDone, stage);
        return result;
    }

    ScratchRegistry registry_;
};

TEST_F(MainDialogTest, RefreshesOnItsTimerOnlyWhatChangedStartsARowsUninstallerAndFollowsTheDisplaysScale)
{
    registry_.AddProduct(kMachine, L"b", L"velmo Beta", L"b.exe");
    registry_.AddProduct(kMachine, L"a", L"quellmar Alpha", L"a.exe");
    // Nothing in the user's root, no key to watch: every refresh scans. Escape leaves the dialog open, Enter ends it.
    EXPECT_EQ(IDOK, Open([](HWND dialog) {
        EXPECT_EQ(2, ScansOfARefresh(dialog) + ScansOfARefresh(dialog));
        PostMessageW(List(dialog), WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageW(List(dialog), WM_KEYDOWN, VK_RETURN, 0);
    }));

    registry_.CreateUninstallParent(kUser); // the user's Uninstall key is yet to come
    {
        const ImportHook noEvents("kernel32.dll", "CreateEventW", &NoEvent); // no change events: every refresh scans
        Open([](HWND dialog) { EXPECT_EQ(2, ScansOfARefresh(dialog) + ScansOfARefresh(dialog)); });
    }
    const ImportHook timers("user32.dll", "SetTimer", &RecordingSetTimer);
    g_setTimer = &timers;
    EXPECT_EQ(2, Open([&](HWND dialog) {
        // The one refresh timer: 3000 ms on the dialog, its ticks as WM_TIMER (beside this test's own).
        EXPECT_EQ(g_timers, (decltype(g_timers){{nullptr, 0, 20, true}, {dialog, 1002, 3000, false}}));
        EXPECT_EQ((Names{L"quellmar Alpha", L"velmo Beta"}), ShownNames(dialog)); // filled before the first tick
        EXPECT_EQ(std::pair(GetFocus(), GetDlgCtrlID(List(dialog))), std::pair(List(dialog), 0)); // focused, no id
        RECT placeholder = {}, list = {}, suggested = {30, 20, 750, 580}, taken = {};
        GetWindowRect(GetDlgItem(dialog, IDC_LIST_PLACEHOLDER), &placeholder);
        GetWindowRect(List(dialog), &list);
        EXPECT_EQ(std::pair(IsWindowVisible(GetDlgItem(dialog, IDC_LIST_PLACEHOLDER)), EqualRect(&placeholder, &list)),
            std::pair(FALSE, TRUE)); // the list stands in the hidden placeholder's place
        EXPECT_EQ(0, ScansOfARefresh(dialog));
        // A new icon is scanned, nothing rebuilt or repainted; a command that now expands, or a new one, is rebuilt.
        for (const auto& [value, text, type] :
            {std::tuple{L"DisplayIcon", L"notepad.exe", REG_SZ}, {L"UninstallString", L"a.exe", REG_EXPAND_SZ},
                {L"UninstallString", L"C:\\fg\\new.exe", REG_EXPAND_SZ}}) {
            ValidateRect(List(dialog), nullptr);
            registry_.Write(kMachine, L"a", value, text, type);
            EXPECT_EQ(1, ScansOfARefresh(dialog));
            EXPECT_EQ(type == REG_EXPAND_SZ, GetUpdateRect(List(dialog), nullptr, FALSE) != FALSE) << text;
        }
        // "卸载" starts the new command, and nothing else does: other notifications, commands, senders or keys.
        SendListNotify(dialog, List(dialog), NM_DBLCLK, 1);
        SendListNotify(dialog, List(dialog), LN_COMMAND, 1, IDC_ROW_UNINSTALL + 1);
        SendListNotify(dialog, GetDlgItem(dialog, IDC_EXIT), LN_COMMAND, 1);
        SendListNotify(dialog, List(dialog), LN_COMMAND, 3);
        SendListNotify(dialog, List(dialog), LN_COMMAND, 1);
        EXPECT_EQ(g_fakes.created, Names{L"C:\\fg\\new.exe"});
        registry_.AddProduct(kUser, L"c", L"Velmo Apex", L"c.exe");
        EXPECT_EQ(1, ScansOfARefresh(dialog));
        EXPECT_EQ((Names{L"quellmar Alpha", L"Velmo Apex", L"velmo Beta"}), ShownNames(dialog));
        // Moved to a display of another scale, it takes the suggested rectangle and the list keeps its selection.
        SendMessageW(List(dialog), WM_KEYDOWN, VK_DOWN, 0);
        SendMessageW(List(dialog), WM_KEYDOWN, VK_DOWN, 0);
        SendMessageW(dialog, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
        GetWindowRect(dialog, &taken);
        const RECT row = Rows(dialog).FindByKey(3)->Rect();
        EXPECT_EQ(std::tuple(EqualRect(&taken, &suggested), row.bottom - row.top, Rows(dialog).SelectedRow()),
            std::tuple(TRUE, 100L, Rows(dialog).FindByKey(2)));
        // Only the refresh timer asks for a refresh, which runs when the loop takes the request.
        registry_.DeleteProduct(kMachine, L"a");
        registry_.DeleteProduct(kMachine, L"b");
        registry_.DeleteProduct(kUser, L"c");
        for (const UINT_PTR id : {kRefreshTimerId + 1, kRefreshTimerId}) {
            SendMessageW(dialog, WM_TIMER, id, 0);
            EXPECT_EQ(3u, ShownNames(dialog).size());
            Pump();
        }
        EXPECT_TRUE(ShownNames(dialog).empty());
        const std::wstring missing = L"C:\\Program Files\\Gone\\uninst.exe /S";
        const decltype(g_boxes) error = {{dialog, L"错误", L"没有找到卸载程序", MB_OK | MB_ICONEXCLAMATION}};
        // A row's command, how its start fails, the message boxes its "卸载" shows, and what starts. Only a row made
        // directly can have no command; a Windows Installer product's maintenance command starts as its removal.
        const std::tuple<std::wstring, DWORD, DWORD, decltype(g_boxes), Names> cases[] = {{L"", 0, 0, error, {}},
            {missing, ERROR_FILE_NOT_FOUND, 0, error, {missing}},
            {missing, 740, ERROR_CANCELLED, {}, {missing}}, // the user declined the consent prompt
            {L"MsiExec.exe /I{6A1C0B2E-3D4F-4A5B-8C9D-0E1F2A3B4C5D}", 0, 0, {},
                {L"\"" + SystemFolder(false) + L"\\msiexec.exe\" /X{6A1C0B2E-3D4F-4A5B-8C9D-0E1F2A3B4C5D}"}}};
        int key = 0;
        for (const auto& [command, createError, shellError, shown, started] : cases) {
            g_boxes.clear();
            FakeStarter(createError, shellError);
            Rows(dialog).AddEntry({++key, L"Velmo", L"", command, false, false, L"k", true, true}, true);
            SendListNotify(dialog, List(dialog), LN_COMMAND, key);
            EXPECT_EQ(std::tie(shown, started), std::tie(g_boxes, g_fakes.created)) << "command: " << command;
        }
        SendDlgItemMessageW(dialog, IDC_EXIT, BM_CLICK, 0, 0);
    }));
}
