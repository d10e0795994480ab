#pragma once

#include "base/DisplayScale.h"
#include "base/ScopedHandle.h"
#include "elements/ElementHost.h"
#include "framework/WindowObject.h"
#include "listctrl/ListBody.h"
#include "listctrl/ListNotify.h"
#include "listctrl/ListRow.h"

#include <windows.h>

#include <memory>

// The name the list's window class is registered under; other programs find the list by it.
constexpr wchar_t kListClassName[] = L"ATL:115D5F49";

class ButtonElement;
class ListAccessible;

// A scrollable list window. Its client area is drawn by an element host whose
// root is the list body; the rows are the body's children. The list tells its
// parent what happens through WM_NOTIFY with a ListNotify record, and
// assistive technology through its accessible object and WinEvents.
class ListControl : public WindowObject {
public:
    ListControl();
    ~ListControl() override;

    MESSAGE_MAP_DECLARATION();

    // Double-clicks wanted; no background brush, the list paints everything.
    void PreRegisterClass(WNDCLASSEXW& windowClass) override;
    // The root element of a new list window.
    virtual std::unique_ptr<ListBody> CreateBody();

    bool Create(HWND parent, DWORD exStyle, DWORD style, int x, int y, int width, int height, UINT id);
    // Lays the rows out again and repaints; call after adding or removing
    // rows, which it announces to assistive technology.
    void Relayout();
    // Removes every row; a selection is cleared with LN_SELCHANGED first.
    void DeleteAll();
    // Clicks the row's button once the current message is done, unless the
    // rows were rebuilt or input was shut out by then: for callers that must
    // not wait for the click.
    void PressButtonLater(const ListRow& row);
    // False while the list or a window it lies in is disabled, as its dialog
    // is under a modal box: the mouse and keyboard cannot reach it then.
    bool TakesInput() const;
    ListRow* FindByKey(int key) const;
    void UpdateVScroll();
    void UpdateHScroll();
    // Places the rows for the scroll position (h, v); a non-zero dy (the
    // distance scrolled) also repaints the list.
    void ScrollTo(int h, int v, int dy);
    // Lays the list out for a display of another DPI: the rows take their
    // sizes, fonts and icons for it; the selection stays, and the scroll
    // position stays on the same place of the same row.
    void SetDpi(int dpi);

    // Sends WM_NOTIFY with a ListNotify to the parent.
    void Notify(UINT code, int key, int extra);
    // Selects row (null: none), repaints and sends LN_SELCHANGED when it changed.
    void SetSelected(ListRow* row);
    // Scrolls so that row lies wholly in the client area, as far as it fits.
    void EnsureVisible(ListRow* row);

    ListBody* Body() const;
    ElementHost& Host() { return host_; }
    ListRow* SelectedRow() const { return selectedRow_; }
    ListRow* HotRow() const { return hotRow_; }
    int ClientWidth() const { return clientWidth_; }
    int ClientHeight() const { return clientHeight_; }
    // The DPI the list's lengths are scaled for; the window's own from its creation.
    int Dpi() const { return dpi_; }
    // Changes whenever rows are deleted: a row seen under the same generation still exists.
    unsigned RowsGeneration() const { return rowsGeneration_; }

private:
    friend class ListBody;

    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnVScroll(WPARAM wParam, LPARAM lParam);
    LRESULT OnHScroll(WPARAM wParam, LPARAM lParam);
    LRESULT OnSize(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonUp(WPARAM wParam, LPARAM lParam);
    LRESULT OnRButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnRButtonUp(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonDblClk(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetDlgCode(WPARAM wParam, LPARAM lParam);
    LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnChar(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseWheel(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcHitTest(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcDestroy(WPARAM wParam, LPARAM lParam);
    LRESULT OnKeyUp(WPARAM wParam, LPARAM lParam);
    LRESULT OnKillFocus(WPARAM wParam, LPARAM lParam);
    LRESULT OnDpiChangedAfterParent(WPARAM wParam, LPARAM lParam);
    // wParam: the rows generation of the request; lParam: the row's place from 1.
    LRESULT OnPressRowButton(WPARAM wParam, LPARAM lParam);

    // Scrolls a bar by a request (SB_LINEUP ...); returns the bar's new position.
    int ScrollBarBy(int bar, UINT request, int line, int page);
    // Relayout's steps without the announcement.
    void PlaceRows();
    int BarPosition(int bar) const;
    // The first visible row that reaches below the top of the client area, or null.
    const ListRow* RowAtTop() const;
    // Scrolls to position, or to the nearest one the bar's range holds.
    void SetVerticalPosition(int position);
    // The key of the row under a point, 0 when there is none.
    int KeyAt(POINT point) const;
    // Selects the row under a click, if any, and scrolls it into view.
    void SelectAt(const POINT& point);
    // Selects the row under a page's probe point, or the fallback.
    void SelectPage(int probeY, ListRow* fallback);
    void EndHovering();
    void PrepareRowsForPaint();
    // The body is about to delete its rows / has added one.
    void ForgetRows();
    void OnRowAdded() { rowsChanged_ = true; }
    // Tells assistive technology that the selection moved to row.
    void AnnounceSelection(const ListRow& row) const;
    // Space on the list presses the selected row's button; its release clicks it.
    void PressSelectedButton();
    void EndKeyPress(bool click);
    void DisconnectAccessible();

    int clientWidth_ = 0;
    int clientHeight_ = 0;
    int dpi_ = kDefaultDpi;
    ElementHost host_;
    int horizontalPosition_ = 0;
    int verticalPosition_ = 0;
    bool leaveTracking_ = false;
    ListRow* selectedRow_ = nullptr;
    ListRow* hotRow_ = nullptr;
    // Made on the first request from assistive technology.
    ScopedComReference<ListAccessible> accessible_;
    unsigned rowsGeneration_ = 0;
    // Rows were added or removed since the last Relayout.
    bool rowsChanged_ = false;
    // The button that Space holds down, one of the selected row's children.
    ButtonElement* keyPressedButton_ = nullptr;
};
