#pragma once

#include "catalogue/InstalledEntry.h"
#include "catalogue/ProductMatch.h"
#include "catalogue/UninstallCommand.h"
#include "catalogue/UninstallWatch.h"
#include "catalogue/UninstallerLaunch.h"
#include "framework/DialogObject.h"
#include "listctrl/SoftwareListView.h"

#include <windows.h>

// Posted to the dialog itself to scan the registry and rebuild the product
// list when the set of products has changed.
constexpr UINT WM_REFRESH_PRODUCTS = 2025;
// The refresh timer of the dialog.
constexpr UINT_PTR kRefreshTimerId = 1002;
constexpr UINT kRefreshPeriodMs = 3000;

// The program's one window: a label, the product list in place of the
// template's placeholder, and the exit button. It owns the list and the
// entries the list shows, refreshes them every kRefreshPeriodMs and starts a
// product's uninstaller when its row's button is clicked.
class MainDialog : public DialogObject {
public:
    // A scan of the registry for the products to show.
    using CollectProducts = void (*)(InstalledEntryList& list);

    // The program uses the platform's process starts and the real scan; tests
    // replace them to see what the dialog asks for.
    explicit MainDialog(const ProcessStarter& starter = PlatformProcessStarter(),
        CollectProducts collect = &CollectTargetProducts);
    ~MainDialog() override;

    MESSAGE_MAP_DECLARATION();

private:
    BOOL OnInitDialog() override;
    void UpdateCaptions();
    // Escape must not close the window: ignored.
    LRESULT OnCancel(WPARAM wParam, LPARAM lParam) override;
    // Scans the registry when it may have changed; rebuilds and renumbers the
    // whole list only when the products differ from the ones shown.
    LRESULT RefreshProductList(WPARAM wParam, LPARAM lParam);
    LRESULT OnListNotify(WPARAM wParam, LPARAM lParam);
    // A command from the row with this key: IDC_ROW_UNINSTALL starts its
    // uninstaller, or says that it cannot be started.
    LRESULT OnRowCommand(int key, int command);
    LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
    LRESULT OnClose(WPARAM wParam, LPARAM lParam);
    // The window was moved to a display of another scale: it takes the
    // rectangle the system suggests and the list lays itself out for the new
    // DPI. The system's own handling of dialogs, which scales the controls
    // and their fonts, follows.
    LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnExit(WPARAM wParam, LPARAM lParam);

    const ProcessStarter starter_;
    const CollectProducts collect_;
    UninstallWatch registryWatch_;
    SoftwareListView productList_;
    InstalledEntryList shownEntries_; // exactly the list's rows, numbered 1, 2, ...
};
