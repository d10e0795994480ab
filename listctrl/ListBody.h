#pragma once

#include "listctrl/ListRow.h"

#include <windows.h>

#include <list>
#include <memory>

class ListControl;

// The background of the list and of an unselected row.
constexpr COLORREF kListBackgroundColour = RGB(255, 255, 255);

// The root element of a list window: owns the rows (as its children) and keeps
// them in display order, the order in which they were added.
class ListBody : public ContainerElement {
public:
    using RowList = std::list<ListRow*>;

    explicit ListBody(ListControl& owner) : owner_(owner) {}

    // Fills the background, then paints the rows, all clipped to the body.
    void Paint(HDC dc, const RECT* clip) override;
    // Gives every row the body's width.
    void OnSize() override;

    // Adopts row at the body's top-left corner with the given size; the next
    // LayoutRows places it. Returns the new row count.
    int AddRow(std::unique_ptr<ListRow> row, int width, int height);
    // Deletes every row; the owner forgets its selected and hot rows first.
    void RemoveAllRows();
    // Stacks the visible rows from the top, shifted by the scroll position.
    void LayoutRows(int horizontalPosition, int verticalPosition);
    // The visible row holding the point (client coordinates), or null.
    ListRow* HitTestRow(POINT point) const;
    int VisibleRowCount() const;
    ListRow* FirstVisible() const;
    ListRow* LastVisible() const;
    // The next visible row after row; from the first row when row is null or not ours.
    ListRow* NextVisible(const ListRow* row) const;
    // The previous visible row before row; from the row itself when it is the
    // first. Null when row is null or not ours.
    ListRow* PrevVisible(const ListRow* row) const;
    // The first row with the key, visible or not.
    ListRow* FindByKey(int key) const;
    // The row's place in display order counted from 1, as assistive
    // technology numbers the list's children; 0 for a row not in the body.
    int Position(const ListRow* row) const;
    // The row at a place counted from 1, or null.
    ListRow* RowAt(int position) const;

    const RowList& Rows() const { return rows_; }
    int RowCount() const { return rowCount_; }
    // The total height of the visible rows at the last LayoutRows.
    int ContentHeight() const { return contentHeight_; }
    ListControl& Owner() const { return owner_; }

private:
    RowList rows_; // not owned: the rows are the body's children
    int rowCount_ = 0;
    int contentHeight_ = 0;
    ListControl& owner_;
};
