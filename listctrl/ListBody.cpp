#include "listctrl/ListBody.h"

#include "base/ScopedHandle.h"
#include "draw/DrawRoutines.h"
#include "elements/ElementHost.h"
#include "listctrl/ListControl.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

// Clips a DC to a rectangle and puts its previous clipping back.
class ScopedClipRect {
public:
    ScopedClipRect(HDC dc, const RECT& rect) : dc_(dc), previous_(CreateRectRgn(0, 0, 0, 0))
    {
        hadClip_ = GetClipRgn(dc, previous_.Get()) == 1;
        const ScopedRegion clip(CreateRectRgnIndirect(&rect));
        SelectClipRgn(dc, clip.Get());
    }
    ~ScopedClipRect() { SelectClipRgn(dc_, hadClip_ ? previous_.Get() : nullptr); }
    ScopedClipRect(const ScopedClipRect&) = delete;
    ScopedClipRect& operator=(const ScopedClipRect&) = delete;

private:
    const HDC dc_;
    const ScopedRegion previous_;
    bool hadClip_ = false;
};

} // namespace

void ListBody::Paint(HDC dc, const RECT* clip)
{
    const ScopedClipRect clipToBody(dc, Rect());
    FillSolidRect(dc, clip ? *clip : Rect(), kListBackgroundColour);
    ContainerElement::Paint(dc, clip);
}

void ListBody::OnSize()
{
    const int width = Rect().right - Rect().left;
    for (ListRow* row : rows_) {
        row->SetSize(width, row->Rect().bottom - row->Rect().top);
    }
    if (Host()) {
        Host()->Invalidate(&Rect(), true);
    }
}

int ListBody::AddRow(std::unique_ptr<ListRow> row, int width, int height)
{
    row->SetRect({0, 0, width, height});
    rows_.push_back(AddChild(std::move(row)));
    owner_.OnRowAdded();
    return ++rowCount_;
}

void ListBody::RemoveAllRows()
{
    owner_.ForgetRows();
    // Out of the display order first, so that it never holds a deleted row.
    const RowList removed = std::exchange(rows_, {});
    rowCount_ = 0;
    for (ListRow* row : removed) {
        RemoveChild(row, false); // the returned holder deletes the row
    }
}

void ListBody::LayoutRows(int horizontalPosition, int verticalPosition)
{
    int y = -verticalPosition;
    for (ListRow* row : rows_) {
        if (row->Visible()) {
            row->MoveTo(-horizontalPosition, y, false);
            y += row->Rect().bottom - row->Rect().top;
        }
    }
    contentHeight_ = y + verticalPosition;
}

ListRow* ListBody::HitTestRow(POINT point) const
{
    for (ListRow* row : rows_) {
        if (row->Visible() && PtInRect(&row->Rect(), point)) {
            return row;
        }
    }
    return nullptr;
}

int ListBody::VisibleRowCount() const
{
    return static_cast<int>(
        std::count_if(rows_.begin(), rows_.end(), [](const ListRow* row) { return row->Visible(); }));
}

ListRow* ListBody::FirstVisible() const
{
    return NextVisible(nullptr);
}

ListRow* ListBody::LastVisible() const
{
    const auto found = std::find_if(rows_.rbegin(), rows_.rend(), [](const ListRow* row) { return row->Visible(); });
    return found == rows_.rend() ? nullptr : *found;
}

ListRow* ListBody::NextVisible(const ListRow* row) const
{
    auto start = std::find(rows_.begin(), rows_.end(), row);
    start = start == rows_.end() ? rows_.begin() : std::next(start);
    const auto found = std::find_if(start, rows_.end(), [](const ListRow* candidate) { return candidate->Visible(); });
    return found == rows_.end() ? nullptr : *found;
}

ListRow* ListBody::PrevVisible(const ListRow* row) const
{
    if (!row) {
        return nullptr;
    }
    const auto current = std::find(rows_.begin(), rows_.end(), row);
    if (current == rows_.end()) {
        return nullptr;
    }
    // Moving up from the first row finds that same row.
    auto walk = current == rows_.begin() ? current : std::prev(current);
    for (;;) {
        if ((*walk)->Visible()) {
            return *walk;
        }
        if (walk == rows_.begin()) {
            return nullptr;
        }
        --walk;
    }
}

ListRow* ListBody::FindByKey(int key) const
{
    const auto found =
        std::find_if(rows_.begin(), rows_.end(), [key](const ListRow* row) { return row->Key() == key; });
    return found == rows_.end() ? nullptr : *found;
}

int ListBody::Position(const ListRow* row) const
{
    const auto found = std::find(rows_.begin(), rows_.end(), row);
    return found == rows_.end() ? 0 : static_cast<int>(std::distance(rows_.begin(), found)) + 1;
}

ListRow* ListBody::RowAt(int position) const
{
    if (position < 1 || position > rowCount_) {
        return nullptr;
    }
    return *std::next(rows_.begin(), position - 1);
}
