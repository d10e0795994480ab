#pragma once

#include "catalogue/InstalledEntry.h"
#include "listctrl/ListControl.h"
#include "listctrl/ProductRow.h"

// The product list of the main window: one ProductRow per entry. A click on a
// row's uninstall button reaches the parent as LN_COMMAND with the row's key
// and IDC_ROW_UNINSTALL.
class SoftwareListView : public ListControl {
public:
    SoftwareListView() = default;
    ~SoftwareListView() override = default;

    // Turns the WM_COMMAND of a row's button into LN_COMMAND.
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    std::unique_ptr<ListBody> CreateBody() override;

    // Appends a row with its own copy of entry; call Relayout after the last one.
    void AddEntry(const InstalledEntry& entry, bool visible);
    // The row's copy of the entry with this Sequence, valid until the next DeleteAll; or null.
    const InstalledEntry* GetEntryByKey(int key) const;
};
