#include "listctrl/ListRow.h"

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
