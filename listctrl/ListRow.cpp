#include "listctrl/ListRow.h"

#include "listctrl/ListBody.h"
#include "listctrl/ListControl.h"

void ListRow::SetSelected(bool selected)
{
    if (selected_ == selected) {
        return;
    }
    selected_ = selected;
    OnSelectionChanged();
    Invalidate(false);
}

void ListRow::SetHot(bool hot)
{
    if (hot_ == hot) {
        return;
    }
    hot_ = hot;
    Invalidate(false);
}

int ListRow::Dpi() const
{
    // Rows live in a list body only.
    const auto* const body = static_cast<const ListBody*>(Parent());
    return body ? body->Owner().Dpi() : kDefaultDpi;
}
