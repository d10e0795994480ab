#include "app/MainDialog.h"

#include "res/resource.h"

namespace {

// The product list takes the placeholder's place.
constexpr DWORD kListExStyle = WS_EX_STATICEDGE;
constexpr DWORD kListStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP;
constexpr UINT kListId = 0;

constexpr const wchar_t* kLabelText = L"" LABEL_TEXT;
constexpr const wchar_t* kNoUninstallerText = L"没有找到卸载程序";
constexpr const wchar_t* kErrorCaption = L"错误";

} // namespace

MainDialog::MainDialog(const ProcessStarter& starter, CollectProducts collect)
    : DialogObject(IDD_MAIN_DIALOG), starter_(starter), collect_(collect)
{
}

MainDialog::~MainDialog() = default;

// clang-format off
MESSAGE_MAP(MainDialog, DialogObject,
    MessageEntry(WM_NOTIFY, &MainDialog::OnListNotify),
    MessageEntry(WM_TIMER, &MainDialog::OnTimer),
    MessageEntry(WM_CLOSE, &MainDialog::OnClose),
    MessageEntry(WM_DPICHANGED, &MainDialog::OnDpiChanged),
    MessageEntry(WM_REFRESH_PRODUCTS, &MainDialog::RefreshProductList),
    CommandEntry(IDC_EXIT, &MainDialog::OnExit))
// clang-format on

BOOL MainDialog::OnInitDialog()
{
    const HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_MAIN_ICON));
    SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));

    const HWND placeholder = GetDlgItem(Handle(), IDC_LIST_PLACEHOLDER);
    RECT rect = {};
    GetWindowRect(placeholder, &rect);
    ScreenRectToClient(Handle(), rect);
    ShowWindow(placeholder, SW_HIDE);

    productList_.Create(Handle(), kListExStyle, kListStyle, rect.left, rect.top, rect.right - rect.left,
        rect.bottom - rect.top, kListId);
    UpdateCaptions();
    SetFocus(productList_.Handle());

    // The first scan runs as soon as the dialog takes messages, after it is shown.
    PostMessageW(Handle(), WM_REFRESH_PRODUCTS, 0, 0);
    SetTimer(Handle(), kRefreshTimerId, kRefreshPeriodMs, nullptr);
    return FALSE; // the focus is placed
}

LRESULT MainDialog::OnCancel(WPARAM, LPARAM)
{
    return 1;
}

void MainDialog::UpdateCaptions()
{
    SetDlgItemTextW(Handle(), IDC_CAPTION_LABEL, kLabelText);
}

LRESULT MainDialog::RefreshProductList(WPARAM, LPARAM)
{
    // Nothing the scan reads has changed: it would find what is shown.
    if (!registryWatch_.ScanNeeded()) {
        return 1;
    }
    registryWatch_.Arm();
    InstalledEntryList fresh;
    collect_(fresh);
    if (SameEntries(fresh, shownEntries_)) {
        return 1;
    }

    productList_.DeleteAll();
    shownEntries_ = std::move(fresh);
    int sequence = 1;
    for (InstalledEntry& entry : shownEntries_) {
        entry.Sequence = sequence++;
        productList_.AddEntry(entry, true);
    }
    productList_.Relayout();
    UpdateCaptions();
    return 1;
}

LRESULT MainDialog::OnListNotify(WPARAM, LPARAM lParam)
{
    const auto* notify = reinterpret_cast<const ListNotify*>(lParam);
    if (notify->hdr.hwndFrom == productList_.Handle() && notify->hdr.code == LN_COMMAND) {
        return OnRowCommand(notify->key, notify->extra);
    }
    return 1;
}

LRESULT MainDialog::OnRowCommand(int key, int command)
{
    const InstalledEntry* entry = productList_.GetEntryByKey(key);
    if (!entry || command != static_cast<int>(IDC_ROW_UNINSTALL)) {
        return 1;
    }
    // A user who declined the consent prompt has been answered already.
    if (entry->UninstallString.empty()
        || LaunchUninstaller(UninstallCommand(*entry), entry->UninstallStringExpandable, entry->From64BitView, starter_)
            == LaunchResult::Failed) {
        MessageBoxW(Handle(), kNoUninstallerText, kErrorCaption, MB_OK | MB_ICONEXCLAMATION);
    }
    return 1;
}

LRESULT MainDialog::OnTimer(WPARAM wParam, LPARAM)
{
    if (wParam == kRefreshTimerId) {
        PostMessageW(Handle(), WM_REFRESH_PRODUCTS, 0, 0);
    }
    return 1;
}

LRESULT MainDialog::OnClose(WPARAM, LPARAM)
{
    DestroyWindow(Handle());
    return 1;
}

LRESULT MainDialog::OnDpiChanged(WPARAM wParam, LPARAM lParam)
{
    const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
    SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
        suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    productList_.SetDpi(LOWORD(wParam));
    return 0; // not handled as far as the dialog manager is concerned
}

LRESULT MainDialog::OnExit(WPARAM, LPARAM)
{
    EndModal(2);
    return 1;
}
