#include "listctrl/SoftwareListView.h"

#include "listctrl/ProductListBody.h"

LRESULT SoftwareListView::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // No table of the list maps a command, so every WM_COMMAND ends up here.
    if (message == WM_COMMAND) {
        Notify(LN_COMMAND, HIWORD(wParam), LOWORD(wParam));
        return 0;
    }
    return ListControl::DefaultProc(message, wParam, lParam);
}

std::unique_ptr<ListBody> SoftwareListView::CreateBody()
{
    return std::make_unique<ProductListBody>(*this);
}

void SoftwareListView::AddEntry(const InstalledEntry& entry, bool visible)
{
    ListBody* const body = Body();
    if (!body) {
        return;
    }
    auto row = std::make_unique<ProductRow>(entry);
    row->SetVisible(visible, false);
    body->AddRow(std::move(row), ClientWidth(), Scaled(kProductRowHeight, Dpi()));
}

const InstalledEntry* SoftwareListView::GetEntryByKey(int key) const
{
    const auto* const row = dynamic_cast<const ProductRow*>(FindByKey(key));
    return row ? &row->Entry() : nullptr;
}
