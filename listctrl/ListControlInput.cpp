// Mouse, keyboard, selection and the notifications of the list window.
#include "listctrl/ListControl.h"

#include "elements/ButtonElement.h"

#include <commctrl.h>

#include <utility>

void ListControl::Notify(UINT code, int key, int extra)
{
    ListNotify notify = {};
    notify.hdr.hwndFrom = Handle();
    notify.hdr.idFrom = static_cast<UINT_PTR>(GetWindowLongPtrW(Handle(), GWLP_ID));
    notify.hdr.code = code;
    notify.key = key;
    notify.extra = extra;
    SendMessageW(GetParent(Handle()), WM_NOTIFY, notify.hdr.idFrom, reinterpret_cast<LPARAM>(&notify));
}

void ListControl::SetSelected(ListRow* row)
{
    if (row == selectedRow_) {
        return;
    }
    // Space held on the old selection's button lets go of it without a click.
    EndKeyPress(false);
    if (selectedRow_) {
        selectedRow_->SetSelected(false);
    }
    selectedRow_ = row;
    const int key = row ? row->Key() : 0;
    if (row) {
        row->SetSelected(true);
    }
    Relayout();
    if (row) {
        AnnounceSelection(*row);
    }
    Notify(LN_SELCHANGED, key, 0);
}

void ListControl::AnnounceSelection(const ListRow& row) const
{
    const LONG child = Body()->Position(&row);
    // Focus events are for the window that has the focus.
    if (GetFocus() == Handle()) {
        NotifyWinEvent(EVENT_OBJECT_FOCUS, Handle(), OBJID_CLIENT, child);
    }
    NotifyWinEvent(EVENT_OBJECT_SELECTION, Handle(), OBJID_CLIENT, child);
}

void ListControl::EnsureVisible(ListRow* row)
{
    if (!row) {
        return;
    }
    if (row->Rect().top < 0) {
        SetVerticalPosition(BarPosition(SB_VERT) + row->Rect().top);
    }
    // A row taller than the client area ends with its bottom edge at the bottom.
    if (row->Rect().bottom > clientHeight_) {
        SetVerticalPosition(BarPosition(SB_VERT) + row->Rect().bottom - clientHeight_);
    }
}

void ListControl::ForgetRows()
{
    selectedRow_ = nullptr;
    hotRow_ = nullptr;
    keyPressedButton_ = nullptr;
    ++rowsGeneration_;
    rowsChanged_ = true;
}

void ListControl::SelectAt(const POINT& point)
{
    if (ListRow* const row = Body() ? Body()->HitTestRow(point) : nullptr) {
        SetSelected(row);
        // The parent may have emptied the list while it was told of the change.
        EnsureVisible(selectedRow_);
    }
}

int ListControl::KeyAt(POINT point) const
{
    const ListRow* const row = Body() ? Body()->HitTestRow(point) : nullptr;
    return row ? row->Key() : 0;
}

LRESULT ListControl::OnLButtonDown(WPARAM, LPARAM lParam)
{
    SetFocus(Handle());
    const POINT point = PointFromLParam(lParam);
    // A press taken by an element has run its own loop, which may have ended
    // in the deletion of every row: nothing here may touch a row after it.
    if (host_.TrackPress(point)) {
        return 0;
    }
    SelectAt(point);
    return 1;
}

LRESULT ListControl::OnLButtonUp(WPARAM, LPARAM lParam)
{
    Notify(NM_CLICK, KeyAt(PointFromLParam(lParam)), 0);
    return 0;
}

LRESULT ListControl::OnLButtonDblClk(WPARAM, LPARAM lParam)
{
    SetFocus(Handle());
    const POINT point = PointFromLParam(lParam);
    // The second press of a quick pair is a press for an element, as it is for
    // a standard push button; its loop may delete every row, as above.
    if (host_.TrackPress(point)) {
        return 0;
    }
    Notify(NM_DBLCLK, KeyAt(point), 0);
    return 0;
}

LRESULT ListControl::OnRButtonDown(WPARAM, LPARAM lParam)
{
    SetFocus(Handle());
    const POINT point = PointFromLParam(lParam);
    SelectAt(point);
    return 0;
}

LRESULT ListControl::OnRButtonUp(WPARAM, LPARAM lParam)
{
    Notify(NM_RCLICK, KeyAt(PointFromLParam(lParam)), 0);
    return 0;
}

LRESULT ListControl::OnMouseMove(WPARAM, LPARAM lParam)
{
    const POINT point = PointFromLParam(lParam);
    POINT screen = point;
    ClientToScreen(Handle(), &screen);
    if (WindowFromPoint(screen) != Handle()) {
        EndHovering();
    } else if (!leaveTracking_) {
        TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, Handle(), 0};
        _TrackMouseEvent(&track);
        leaveTracking_ = true;
    }
    ListRow* const row = Body() ? Body()->HitTestRow(point) : nullptr;
    if (row != hotRow_) {
        if (hotRow_) {
            hotRow_->SetHot(false);
        }
        hotRow_ = row;
        if (row) {
            row->SetHot(true);
        }
    }
    host_.OnMouseMove(point);
    return 0;
}

void ListControl::EndHovering()
{
    if (leaveTracking_) {
        leaveTracking_ = false;
        host_.OnMouseLeave();
    }
    if (hotRow_) {
        hotRow_->SetHot(false);
        hotRow_ = nullptr;
    }
}

LRESULT ListControl::OnMouseLeave(WPARAM, LPARAM)
{
    EndHovering();
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    return 0;
}

LRESULT ListControl::OnSetCursor(WPARAM wParam, LPARAM lParam)
{
    if (reinterpret_cast<HWND>(wParam) == Handle()) {
        if (const HCURSOR cursor = host_.GetCursor()) {
            SetCursor(cursor);
            return 1;
        }
    }
    return DefaultProc(WM_SETCURSOR, wParam, lParam);
}

LRESULT ListControl::OnGetDlgCode(WPARAM, LPARAM)
{
    return DLGC_WANTARROWS | DLGC_WANTCHARS;
}

void ListControl::SelectPage(int probeY, ListRow* fallback)
{
    const RECT& body = Body()->Rect();
    const POINT probe = {(body.left + body.right) / 2, probeY};
    ListRow* const row = Body()->HitTestRow(probe);
    SetSelected(row ? row : fallback);
}

LRESULT ListControl::OnKeyDown(WPARAM wParam, LPARAM)
{
    ListBody* const body = Body();
    if (!body) {
        return 0;
    }
    const int selectedTop = selectedRow_ ? selectedRow_->Rect().top : 0;
    switch (wParam) {
    case VK_DOWN:
        if (ListRow* const row = body->NextVisible(selectedRow_)) {
            SetSelected(row);
        }
        break;
    case VK_UP:
        if (ListRow* const row = body->PrevVisible(selectedRow_)) {
            SetSelected(row);
        }
        break;
    case VK_NEXT:
        SelectPage(selectedTop + clientHeight_, body->LastVisible());
        break;
    case VK_PRIOR:
        SelectPage(selectedTop - clientHeight_, body->FirstVisible());
        break;
    case VK_SPACE:
        PressSelectedButton();
        return 0;
    default:
        return 0;
    }
    EnsureVisible(selectedRow_);
    return 0;
}

LRESULT ListControl::OnKeyUp(WPARAM wParam, LPARAM lParam)
{
    if (wParam != VK_SPACE) {
        return DefaultProc(WM_KEYUP, wParam, lParam);
    }
    EndKeyPress(true);
    return 0;
}

LRESULT ListControl::OnKillFocus(WPARAM, LPARAM)
{
    EndKeyPress(false);
    return 0;
}

void ListControl::PressSelectedButton()
{
    // The key repeats while it is held: the first press counts.
    if (keyPressedButton_ || !selectedRow_) {
        return;
    }
    keyPressedButton_ = selectedRow_->DefaultButton();
    if (keyPressedButton_) {
        keyPressedButton_->PressByKey();
    }
}

void ListControl::EndKeyPress(bool click)
{
    // Forgotten first: the click may end in the deletion of every row.
    if (ButtonElement* const button = std::exchange(keyPressedButton_, nullptr)) {
        button->ReleaseByKey(click);
    }
}

LRESULT ListControl::OnChar(WPARAM, LPARAM)
{
    EnsureVisible(selectedRow_);
    return 0;
}
