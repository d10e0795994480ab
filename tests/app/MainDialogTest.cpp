#include "app/MainDialog.h"
#include "res/resource.h"
#include "tests/app/DialogScript.h"
#include "tests/support/ScratchRegistry.h"
#include "tests/support/StubRuns.h"
#include "tests/support/SyntheticInput.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::wstring>;

constexpr bool kMachine = true;
constexpr bool kUser = false;
constexpr const wchar_t* kLabelText = L"" LABEL_TEXT;
constexpr unsigned kRecordMs = 10000;
// Time for a wrongly started process to show itself after the right one did.
constexpr DWORD kStragglerMs = 1500;
// The centre of the first row's "卸载" button in the list.
constexpr POINT kFirstButtonCentre = {267 + 31, 13 + 11};

HWND ListWindow(HWND dialog)
{
    return FindWindowExW(dialog, nullptr, kListClassName, nullptr);
}

SoftwareListView& ProductList(HWND dialog)
{
    return *dynamic_cast<SoftwareListView*>(WindowObject::FromHandle(ListWindow(dialog)));
}

// The display names of the rows, by key from 1; every row's entry carries its key as Sequence.
Names ShownNames(HWND dialog)
{
    Names names;
    const SoftwareListView& list = ProductList(dialog);
    for (int key = 1; const InstalledEntry* entry = list.GetEntryByKey(key); ++key) {
        EXPECT_EQ(key, entry->Sequence);
        names.push_back(entry->DisplayName);
    }
    return names;
}

std::wstring LabelText(HWND dialog)
{
    wchar_t text[128] = {};
    GetDlgItemTextW(dialog, IDC_CAPTION_LABEL, text, 128);
    return text;
}

bool ListNeedsPaint(HWND dialog)
{
    return GetUpdateRect(ListWindow(dialog), nullptr, FALSE) != FALSE;
}

void Refresh(HWND dialog)
{
    SendMessageW(dialog, WM_REFRESH_PRODUCTS, 0, 0);
}

// The test plays the periodic refresh itself; a real tick must not interfere.
void StopRefreshTimer(HWND dialog)
{
    EXPECT_TRUE(KillTimer(dialog, kRefreshTimerId)) << "the refresh timer was not running";
}

void SendListNotify(HWND dialog, HWND from, UINT code, int key, int extra)
{
    ListNotify notify = {};
    notify.hdr.hwndFrom = from;
    notify.hdr.code = code;
    notify.key = key;
    notify.extra = extra;
    SendMessageW(dialog, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notify));
}

// What the uninstall button of the row with this key sends up to the list.
void ClickRowButton(HWND dialog, int key)
{
    SendMessageW(ListWindow(dialog), WM_COMMAND, MAKEWPARAM(IDC_ROW_UNINSTALL, key), 0);
}

class MainDialogTest : public ::testing::Test {
protected:
    // A product whose uninstall command is the recorder, tagged so that its record names it.
    void AddProduct(bool machine, const std::wstring& keyName, const std::wstring& displayName)
    {
        registry_.AddProduct(machine, keyName, displayName,
            L"\"" + StubUninstallerPath() + L"\" tag:" + keyName + L" \"" + runs_.Folder() + L"\"");
    }

    // The tags of the stub runs so far, waiting for at least count of them.
    std::vector<std::wstring> LaunchedTags(size_t count) { return runs_.TakeTags(count, kRecordMs); }

    // Opens the main dialog and runs checks inside its modal loop with the
    // refresh timer stopped, then ends the dialog.
    void CheckInDialog(const std::function<void(HWND dialog)>& checks)
    {
        MainDialog dialog;
        DialogScript script({
            [&](HWND dialog) {
                StopRefreshTimer(dialog);
                checks(dialog);
                EndDialog(dialog, IDOK);
            },
        });
        EXPECT_EQ(IDOK, script.Run(dialog));
    }

    ScratchRegistry registry_;
    StubRuns runs_;
};

TEST_F(MainDialogTest, OpensWithTheListInPlaceOfThePlaceholderAndFillsItBeforeTheFirstTick)
{
    AddProduct(kUser, L"b", L"Velmo Beta");
    AddProduct(kMachine, L"a", L"quellmar Alpha");
    AddProduct(kMachine, L"x", L"Other Product");

    MainDialog dialog;
    const ULONGLONG opened = GetTickCount64();
    DialogScript script({
        [&](HWND dialog) {
            EXPECT_LT(GetTickCount64() - opened, kRefreshPeriodMs);
            StopRefreshTimer(dialog);
            EXPECT_EQ((Names{L"quellmar Alpha", L"Velmo Beta"}), ShownNames(dialog));

            const HWND placeholder = GetDlgItem(dialog, IDC_LIST_PLACEHOLDER);
            const HWND list = ListWindow(dialog);
            ASSERT_NE(nullptr, list);
            EXPECT_FALSE(IsWindowVisible(placeholder));
            EXPECT_TRUE(IsWindowVisible(list));
            EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, IDC_EXIT)));
            RECT placeholderRect = {};
            RECT listRect = {};
            GetWindowRect(placeholder, &placeholderRect);
            GetWindowRect(list, &listRect);
            EXPECT_TRUE(EqualRect(&placeholderRect, &listRect));

            EXPECT_EQ(list, GetFocus());
            EXPECT_EQ(kLabelText, LabelText(dialog));
            EXPECT_NE(0, SendMessageW(dialog, WM_GETICON, ICON_BIG, 0));
            SendDlgItemMessageW(dialog, IDC_EXIT, BM_CLICK, 0, 0);
        },
    });
    EXPECT_EQ(2, script.Run(dialog));
    EXPECT_EQ(1u, script.StepsRun());
}

TEST_F(MainDialogTest, AnUnchangedRegistryRebuildsNothing)
{
    AddProduct(kMachine, L"a", L"Velmo Alpha");
    AddProduct(kUser, L"b", L"Velmo Beta");

    CheckInDialog([&](HWND dialog) {
        const SoftwareListView& list = ProductList(dialog);
        const InstalledEntry* first = list.GetEntryByKey(1);
        const InstalledEntry* second = list.GetEntryByKey(2);
        ASSERT_NE(nullptr, second);
        SetDlgItemTextW(dialog, IDC_CAPTION_LABEL, L"untouched");
        ValidateRect(ListWindow(dialog), nullptr);

        // Neither the icon nor the root takes part in the comparison.
        registry_.WriteString(kMachine, L"a", L"DisplayIcon", L"C:\\windows\\notepad.exe");
        Refresh(dialog);

        EXPECT_FALSE(ListNeedsPaint(dialog));
        EXPECT_EQ(L"untouched", LabelText(dialog));
        EXPECT_EQ(first, list.GetEntryByKey(1));
        EXPECT_EQ(second, list.GetEntryByKey(2));
        EXPECT_EQ((Names{L"Velmo Alpha", L"Velmo Beta"}), ShownNames(dialog));
    });
}

TEST_F(MainDialogTest, AChangedProductSetRebuildsTheListNumberedFromOneInNameOrder)
{
    AddProduct(kUser, L"g", L"Velmo Gamma");
    AddProduct(kMachine, L"a", L"Quellmar Alpha");
    AddProduct(kMachine, L"b", L"velmo Beta");

    CheckInDialog([&](HWND dialog) {
        EXPECT_EQ((Names{L"Quellmar Alpha", L"velmo Beta", L"Velmo Gamma"}), ShownNames(dialog));
        SetDlgItemTextW(dialog, IDC_CAPTION_LABEL, L"stale");
        ValidateRect(ListWindow(dialog), nullptr);

        // An uninstaller removed its key.
        registry_.DeleteProduct(kMachine, L"b");
        Refresh(dialog);
        EXPECT_EQ((Names{L"Quellmar Alpha", L"Velmo Gamma"}), ShownNames(dialog));
        EXPECT_EQ(nullptr, ProductList(dialog).GetEntryByKey(3));
        EXPECT_TRUE(ListNeedsPaint(dialog));
        EXPECT_EQ(kLabelText, LabelText(dialog));

        // The last ones gone: the list is empty again.
        registry_.DeleteProduct(kMachine, L"a");
        registry_.DeleteProduct(kUser, L"g");
        Refresh(dialog);
        EXPECT_TRUE(ShownNames(dialog).empty());
    });
}

TEST_F(MainDialogTest, OnlyTheRefreshTimerStartsARefresh)
{
    AddProduct(kMachine, L"a", L"Velmo Alpha");
    AddProduct(kMachine, L"b", L"Velmo Beta");

    MainDialog dialog;
    DialogScript script({
        [&](HWND dialog) {
            StopRefreshTimer(dialog);
            registry_.DeleteProduct(kMachine, L"a");
            SendMessageW(dialog, WM_TIMER, kRefreshTimerId + 1, 0);
            SendMessageW(dialog, WM_TIMER, 1, 0);
        },
        [&](HWND dialog) {
            EXPECT_EQ((Names{L"Velmo Alpha", L"Velmo Beta"}), ShownNames(dialog));
            // The timer only asks for the refresh; it runs when the loop takes the request.
            SendMessageW(dialog, WM_TIMER, kRefreshTimerId, 0);
            EXPECT_EQ((Names{L"Velmo Alpha", L"Velmo Beta"}), ShownNames(dialog));
        },
        [&](HWND dialog) {
            EXPECT_EQ((Names{L"Velmo Beta"}), ShownNames(dialog));
            EndDialog(dialog, IDOK);
        },
    });
    EXPECT_EQ(IDOK, script.Run(dialog));
    EXPECT_EQ(3u, script.StepsRun());
}

TEST_F(MainDialogTest, ARowCommandStartsTheUninstallerOfThatRowOnly)
{
    AddProduct(kMachine, L"first", L"Velmo Alpha");
    AddProduct(kUser, L"second", L"Velmo Beta");
    AddProduct(kMachine, L"third", L"Velmo Gamma");

    CheckInDialog([&](HWND dialog) {
        const HWND list = ListWindow(dialog);
        // Clicks, selection changes, other commands and other senders start nothing.
        SendListNotify(dialog, list, NM_CLICK, 1, 0);
        SendListNotify(dialog, list, NM_DBLCLK, 1, 0);
        SendListNotify(dialog, list, LN_SELCHANGED, 1, 0);
        SendListNotify(dialog, list, LN_COMMAND, 1, IDC_ROW_UNINSTALL + 1);
        SendListNotify(dialog, GetDlgItem(dialog, IDC_EXIT), LN_COMMAND, 1, IDC_ROW_UNINSTALL);
        SendListNotify(dialog, list, LN_COMMAND, 4, IDC_ROW_UNINSTALL);

        ClickRowButton(dialog, 2);
        EXPECT_EQ(std::vector<std::wstring>{L"second"}, LaunchedTags(1));
        Sleep(kStragglerMs);
        EXPECT_TRUE(LaunchedTags(0).empty());
    });
}

TEST_F(MainDialogTest, ADoubleClickOnUninstallStartsItTwiceAndOnTheRowStartsNothing)
{
    AddProduct(kMachine, L"only", L"Velmo Alpha");
    const auto onScreen = [](HWND dialog, POINT point) {
        ClientToScreen(ListWindow(dialog), &point);
        return point;
    };
    MainDialog dialog;
    DialogScript script({
        [&](HWND dialog) {
            StopRefreshTimer(dialog);
            UpdateWindow(ListWindow(dialog));
            ClickAt(onScreen(dialog, kFirstButtonCentre), 2);
        },
        [&](HWND dialog) {
            EXPECT_EQ((std::vector<std::wstring>{L"only", L"only"}), LaunchedTags(2));
            ClickAt(onScreen(dialog, {kFirstButtonCentre.x - 200, kFirstButtonCentre.y}), 2);
        },
        [&](HWND dialog) {
            Sleep(kStragglerMs);
            EXPECT_TRUE(LaunchedTags(0).empty());
            EndDialog(dialog, IDOK);
        },
    });
    EXPECT_EQ(IDOK, script.Run(dialog));
    EXPECT_EQ(3u, script.StepsRun());
}

// The message boxes (caption: text) the dialog shows when the first row's
// "卸载" is clicked, with the process starts given.
std::vector<std::wstring> MessagesForClick(const ProcessStarter& starter, const InstalledEntry* added = nullptr)
{
    MainDialog dialog(starter);
    std::vector<std::wstring> shown;
    DialogScript script({
        [&](HWND dialog) {
            StopRefreshTimer(dialog);
            if (added) {
                ProductList(dialog).AddEntry(*added, true);
            }
            ClickRowButton(dialog, 1);
        },
        [&](HWND dialog) { EndDialog(dialog, IDOK); },
    });
    script.WhileBlocked([&] {
        const HWND box = GetLastActivePopup(dialog.Handle());
        if (box == dialog.Handle() || GetWindow(box, GW_OWNER) != dialog.Handle()) {
            return;
        }
        wchar_t caption[64] = {};
        wchar_t text[64] = {};
        GetWindowTextW(box, caption, 64);
        GetDlgItemTextW(box, 0xFFFF, text, 64);
        shown.push_back(std::wstring(caption) + L": " + text);
        SendMessageW(box, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(IDOK, script.Run(dialog));
    return shown;
}

BOOL WINAPI ElevationRequired(LPCWSTR, LPWSTR, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID,
    LPCWSTR, LPSTARTUPINFOW, LPPROCESS_INFORMATION)
{
    SetLastError(kErrorElevationRequired);
    return FALSE;
}

BOOL WINAPI ConsentDeclined(SHELLEXECUTEINFOW*)
{
    SetLastError(ERROR_CANCELLED);
    return FALSE;
}

TEST_F(MainDialogTest, AnUninstallerThatCannotStartIsReportedUnlessTheUserDeclined)
{
    const std::vector<std::wstring> error = {L"错误: 没有找到卸载程序"};
    // The scan never yields an entry without a command; a row made from one directly can.
    InstalledEntry noCommand;
    noCommand.Sequence = 1;
    noCommand.DisplayName = L"Velmo Broken";
    EXPECT_EQ(error, MessagesForClick(PlatformProcessStarter(), &noCommand));

    registry_.AddProduct(kMachine, L"gone", L"Velmo Gone", L"C:\\Program Files\\Gone\\uninst.exe /S");
    EXPECT_EQ(error, MessagesForClick(PlatformProcessStarter()));
    EXPECT_TRUE(MessagesForClick(ProcessStarter{&ElevationRequired, &ConsentDeclined}).empty());

    AddProduct(kMachine, L"gone", L"Velmo Gone");
    EXPECT_TRUE(MessagesForClick(PlatformProcessStarter()).empty());
    EXPECT_EQ(std::vector<std::wstring>{L"gone"}, LaunchedTags(1));
}

int scans = 0;

void CountedCollect(InstalledEntryList& list)
{
    ++scans;
    CollectTargetProducts(list);
}

// Makes a change, runs a refresh and says how many scans it made.
int ScansFor(HWND dialog, const std::function<void()>& change)
{
    const int before = scans;
    change();
    Refresh(dialog);
    return scans - before;
}

TEST_F(MainDialogTest, ARefreshScansOnlyAfterAWatchedKeyChanged)
{
    AddProduct(kMachine, L"a", L"Velmo Alpha");
    registry_.CreateUninstallParent(kUser); // the user's Uninstall key is yet to come
    MainDialog dialog(PlatformProcessStarter(), &CountedCollect);
    DialogScript script({
        [&](HWND dialog) {
            StopRefreshTimer(dialog);
            EXPECT_EQ(0, ScansFor(dialog, [] {}));
            EXPECT_EQ(1, ScansFor(dialog, [&] { registry_.WriteString(kMachine, L"a", L"DisplayVersion", L"2"); }));
            EXPECT_EQ(0, ScansFor(dialog, [] {}));
            EXPECT_EQ(1, ScansFor(dialog, [&] { AddProduct(kMachine, L"b", L"Velmo Beta"); }));
            EXPECT_EQ(1, ScansFor(dialog, [&] { registry_.DeleteProduct(kMachine, L"a"); }));
            EXPECT_EQ((Names{L"Velmo Beta"}), ShownNames(dialog));
            EXPECT_EQ(1, ScansFor(dialog, [&] { AddProduct(kUser, L"c", L"Velmo Gamma"); }));
            EXPECT_EQ((Names{L"Velmo Beta", L"Velmo Gamma"}), ShownNames(dialog));
            EXPECT_EQ(0, ScansFor(dialog, [] {}));
            EndDialog(dialog, IDOK);
        },
    });
    EXPECT_EQ(IDOK, script.Run(dialog));
}

TEST_F(MainDialogTest, EveryRefreshScansWhileAKeyCannotBeWatched)
{
    // Nothing at all in the user's root: neither its Uninstall key nor the key it would be in.
    AddProduct(kMachine, L"a", L"Velmo Alpha");
    MainDialog dialog(PlatformProcessStarter(), &CountedCollect);
    DialogScript script({
        [&](HWND dialog) {
            StopRefreshTimer(dialog);
            EXPECT_EQ(1, ScansFor(dialog, [] {}));
            EXPECT_EQ(1, ScansFor(dialog, [] {}));
            EndDialog(dialog, IDOK);
        },
    });
    EXPECT_EQ(IDOK, script.Run(dialog));
}

TEST_F(MainDialogTest, EscapeAndCancelLeaveTheDialogOpenAndEnterEndsItWithOne)
{
    MainDialog dialog;
    DialogScript script({
        [&](HWND dialog) {
            StopRefreshTimer(dialog);
            const HWND list = ListWindow(dialog);
            SetFocus(list);
            PostMessageW(list, WM_KEYDOWN, VK_ESCAPE, 0);
            PostMessageW(list, WM_KEYUP, VK_ESCAPE, 0);
            SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        },
        [&](HWND dialog) {
            EXPECT_TRUE(IsWindowVisible(dialog));
            PostMessageW(ListWindow(dialog), WM_KEYDOWN, VK_RETURN, 0);
        },
    });
    EXPECT_EQ(IDOK, script.Run(dialog));
    EXPECT_EQ(2u, script.StepsRun());
}

TEST_F(MainDialogTest, TheCloseBoxEndsTheDialog)
{
    MainDialog dialog;
    DialogScript script({
        [&](HWND dialog) {
            StopRefreshTimer(dialog);
            PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        },
    });
    EXPECT_NE(DialogScript::kAbandoned, script.Run(dialog));
    EXPECT_FALSE(IsWindow(dialog.Handle()));
}

} // namespace
