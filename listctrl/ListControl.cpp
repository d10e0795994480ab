#include "listctrl/ListControl.h"

#include "elements/ButtonElement.h"
#include "elements/OffscreenBuffer.h"
#include "listctrl/ListAccessible.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

namespace {

// Posted by PressButtonLater.
constexpr UINT WM_PRESS_ROW_BUTTON = WM_USER + 1;

// Pixels per line of the scroll bars at the default DPI; a wheel message
// scrolls kWheelLines lines.
constexpr int kScrollLine = 10;
constexpr int kWheelLines = 3;

SCROLLINFO ScrollInfo(UINT mask)
{
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = mask;
    return info;
}

} // namespace

// clang-format off
MESSAGE_MAP(ListControl, WindowObject,
    MessageEntry(WM_CREATE, &ListControl::OnCreate),
    MessageEntry(WM_PAINT, &ListControl::OnPaint),
    MessageEntry(WM_VSCROLL, &ListControl::OnVScroll),
    MessageEntry(WM_HSCROLL, &ListControl::OnHScroll),
    MessageEntry(WM_SIZE, &ListControl::OnSize),
    MessageEntry(WM_ERASEBKGND, &ListControl::EraseBackgroundHandler),
    MessageEntry(WM_LBUTTONDOWN, &ListControl::OnLButtonDown),
    MessageEntry(WM_LBUTTONUP, &ListControl::OnLButtonUp),
    MessageEntry(WM_RBUTTONDOWN, &ListControl::OnRButtonDown),
    MessageEntry(WM_RBUTTONUP, &ListControl::OnRButtonUp),
    MessageEntry(WM_LBUTTONDBLCLK, &ListControl::OnLButtonDblClk),
    MessageEntry(WM_MOUSEMOVE, &ListControl::OnMouseMove),
    MessageEntry(WM_MOUSELEAVE, &ListControl::OnMouseLeave),
    MessageEntry(WM_GETDLGCODE, &ListControl::OnGetDlgCode),
    MessageEntry(WM_KEYDOWN, &ListControl::OnKeyDown),
    MessageEntry(WM_CHAR, &ListControl::OnChar),
    MessageEntry(WM_SETCURSOR, &ListControl::OnSetCursor),
    MessageEntry(WM_MOUSEWHEEL, &ListControl::OnMouseWheel),
    MessageEntry(WM_NCHITTEST, &ListControl::OnNcHitTest),
    MessageEntry(WM_GETOBJECT, &ListControl::OnGetObject),
    MessageEntry(WM_NCDESTROY, &ListControl::OnNcDestroy),
    MessageEntry(WM_KEYUP, &ListControl::OnKeyUp),
    MessageEntry(WM_KILLFOCUS, &ListControl::OnKillFocus),
    MessageEntry(WM_DPICHANGED_AFTERPARENT, &ListControl::OnDpiChangedAfterParent),
    MessageEntry(WM_PRESS_ROW_BUTTON, &ListControl::OnPressRowButton))
// clang-format on

ListControl::ListControl() = default;

ListControl::~ListControl()
{
    // Before the rows go with the element host.
    DisconnectAccessible();
}

void ListControl::PreRegisterClass(WNDCLASSEXW& windowClass)
{
    windowClass.style = CS_DBLCLKS;
    windowClass.hbrBackground = nullptr;
}

std::unique_ptr<ListBody> ListControl::CreateBody()
{
    return std::make_unique<ListBody>(*this);
}

bool ListControl::Create(HWND parent, DWORD exStyle, DWORD style, int x, int y, int width, int height, UINT id)
{
    return WindowObject::Create(exStyle, kListClassName, L"", style, x, y, width, height, parent,
        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}

ListBody* ListControl::Body() const
{
    return static_cast<ListBody*>(host_.Root());
}

void ListControl::Relayout()
{
    if (!Body()) {
        return;
    }
    PlaceRows();
    if (std::exchange(rowsChanged_, false)) {
        NotifyWinEvent(EVENT_OBJECT_REORDER, Handle(), OBJID_CLIENT, CHILDID_SELF);
    }
}

void ListControl::PlaceRows()
{
    Body()->LayoutRows(BarPosition(SB_HORZ), BarPosition(SB_VERT));
    UpdateVScroll();
    UpdateHScroll();
    // The bars may have clamped the positions to the new range.
    ScrollTo(BarPosition(SB_HORZ), BarPosition(SB_VERT), 0);
    InvalidateRect(Handle(), nullptr, TRUE);
}

void ListControl::DeleteAll()
{
    SetSelected(nullptr);
    hotRow_ = nullptr;
    if (ListBody* const body = Body()) {
        body->RemoveAllRows();
        PlaceRows();
    }
}

ListRow* ListControl::FindByKey(int key) const
{
    const ListBody* const body = Body();
    return body ? body->FindByKey(key) : nullptr;
}

void ListControl::UpdateVScroll()
{
    const ListBody* const body = Body();
    if (!body) {
        return;
    }
    // The largest position is content height − page + 1.
    SCROLLINFO info = ScrollInfo(SIF_RANGE | SIF_PAGE);
    info.nMax = body->ContentHeight();
    info.nPage = clientHeight_;
    SetScrollInfo(Handle(), SB_VERT, &info, TRUE);
}

void ListControl::UpdateHScroll()
{
    // An empty range: the horizontal bar never shows and its position stays 0.
    SCROLLINFO info = ScrollInfo(SIF_RANGE | SIF_PAGE);
    info.nMax = -1;
    info.nPage = clientWidth_;
    SetScrollInfo(Handle(), SB_HORZ, &info, TRUE);
}

void ListControl::ScrollTo(int h, int v, int dy)
{
    horizontalPosition_ = h;
    verticalPosition_ = v;
    // The whole list is painted again rather than its pixels moved: moving
    // what is on the screen while earlier scrolls still wait to be painted
    // moves stale pixels. One paint through the off-screen buffer is cheap.
    if (dy != 0) {
        InvalidateRect(Handle(), nullptr, FALSE);
    }
    host_.SetOrigin(-h, -v, false);
}

int ListControl::BarPosition(int bar) const
{
    SCROLLINFO info = ScrollInfo(SIF_POS);
    GetScrollInfo(Handle(), bar, &info);
    return info.nPos;
}

int ListControl::ScrollBarBy(int bar, UINT request, int line, int page)
{
    SCROLLINFO info = ScrollInfo(SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS);
    GetScrollInfo(Handle(), bar, &info);
    switch (request) {
    case SB_LINEUP:
        info.nPos -= line;
        break;
    case SB_LINEDOWN:
        info.nPos += line;
        break;
    case SB_PAGEUP:
        info.nPos -= page;
        break;
    case SB_PAGEDOWN:
        info.nPos += page;
        break;
    case SB_THUMBTRACK:
        info.nPos = info.nTrackPos;
        break;
    default:
        // SB_THUMBPOSITION, SB_TOP, SB_BOTTOM, SB_ENDSCROLL: the rows follow the thumb while it is dragged.
        break;
    }
    SetScrollInfo(Handle(), bar, &info, TRUE);
    return BarPosition(bar);
}

void ListControl::SetDpi(int dpi)
{
    const int old = std::exchange(dpi_, dpi);
    ListBody* const body = Body();
    if (dpi == old || !body) {
        return;
    }
    // The row at the top edge, and how far into it the edge lies, at the new scale.
    const ListRow* const anchor = RowAtTop();
    const int into = anchor ? MulDiv(-anchor->Rect().top, dpi, old) : 0;
    for (ListRow* row : body->Rows()) {
        row->OnDpiChanged();
    }
    // Stacked for the current position first, so that the range fits the new heights.
    body->LayoutRows(horizontalPosition_, verticalPosition_);
    UpdateVScroll();
    UpdateHScroll();
    SetVerticalPosition(anchor ? verticalPosition_ + anchor->Rect().top + into : 0);
    InvalidateRect(Handle(), nullptr, TRUE);
}

const ListRow* ListControl::RowAtTop() const
{
    const ListBody::RowList& rows = Body()->Rows();
    const auto found = std::find_if(rows.begin(), rows.end(),
        [](const ListRow* row) { return row->Visible() && row->Rect().bottom > 0; });
    return found == rows.end() ? nullptr : *found;
}

LRESULT ListControl::OnDpiChangedAfterParent(WPARAM, LPARAM)
{
    SetDpi(WindowDpi(Handle()));
    return 0;
}

void ListControl::SetVerticalPosition(int position)
{
    SCROLLINFO info = ScrollInfo(SIF_POS);
    info.nPos = position;
    SetScrollInfo(Handle(), SB_VERT, &info, TRUE);
    const int kept = BarPosition(SB_VERT);
    ScrollTo(horizontalPosition_, kept, verticalPosition_ - kept);
}

LRESULT ListControl::OnCreate(WPARAM, LPARAM)
{
    dpi_ = WindowDpi(Handle());
    RECT client = {};
    GetClientRect(Handle(), &client);
    std::unique_ptr<ListBody> body = CreateBody();
    // The first WM_SIZE corrects the height.
    body->SetRect({0, 0, client.right, 100});
    host_.Attach(Handle());
    host_.SetRoot(std::move(body));
    clientHeight_ = client.bottom - client.top;
    UpdateVScroll();
    UpdateHScroll();
    return 0;
}

void ListControl::PrepareRowsForPaint()
{
    RECT update = {};
    if (!Body() || !GetUpdateRect(Handle(), &update, FALSE)) {
        return;
    }
    for (ListRow* const row : Body()->Rows()) {
        RECT overlap = {};
        if (row->Visible() && IntersectRect(&overlap, &row->Rect(), &update)) {
            row->PreparePaint();
        }
    }
}

LRESULT ListControl::OnPaint(WPARAM, LPARAM)
{
    // Before BeginPaint: a load that faults inside the system leaves the
    // update region as it is, and the next paint (which does not retry it) draws everything.
    PrepareRowsForPaint();
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(Handle(), &paint);
    RECT client = {};
    GetClientRect(Handle(), &client);
    {
        const OffscreenBuffer buffer(dc, &client);
        host_.Paint(buffer.Get(), &paint.rcPaint);
    }
    EndPaint(Handle(), &paint);
    return 0;
}

LRESULT ListControl::OnVScroll(WPARAM wParam, LPARAM)
{
    const int position = ScrollBarBy(SB_VERT, LOWORD(wParam), Scaled(kScrollLine, dpi_), clientHeight_);
    if (position != verticalPosition_) {
        ScrollTo(horizontalPosition_, position, verticalPosition_ - position);
    }
    return 0;
}

LRESULT ListControl::OnHScroll(WPARAM wParam, LPARAM)
{
    if (LOWORD(wParam) == SB_ENDSCROLL) {
        return 0;
    }
    // With the empty range of UpdateHScroll the position always stays 0.
    const int position = ScrollBarBy(SB_HORZ, LOWORD(wParam), Scaled(kScrollLine, dpi_), clientWidth_);
    if (position != horizontalPosition_) {
        ScrollTo(position, verticalPosition_, 0);
    }
    return 0;
}

LRESULT ListControl::OnSize(WPARAM, LPARAM lParam)
{
    clientWidth_ = LOWORD(lParam);
    clientHeight_ = HIWORD(lParam);
    host_.ResizeRoot(clientWidth_, clientHeight_);
    UpdateVScroll();
    UpdateHScroll();
    const int position = BarPosition(SB_VERT);
    if (position != verticalPosition_) {
        ScrollTo(horizontalPosition_, position, 0);
        InvalidateRect(Handle(), nullptr, FALSE);
    }
    return 0;
}

LRESULT ListControl::OnMouseWheel(WPARAM wParam, LPARAM)
{
    const short delta = static_cast<short>(HIWORD(wParam));
    const WPARAM request = delta < 0 ? SB_LINEDOWN : SB_LINEUP;
    for (int i = 0; i < kWheelLines; ++i) {
        SendMessageW(Handle(), WM_VSCROLL, request, 0);
    }
    return 0;
}

LRESULT ListControl::OnNcHitTest(WPARAM wParam, LPARAM lParam)
{
    DefaultProc(WM_NCHITTEST, wParam, lParam);
    RECT window = {};
    RECT client = {};
    GetWindowRect(Handle(), &window);
    GetClientRect(Handle(), &client);
    const POINT point = PointFromLParam(lParam);
    const bool insideX = point.x - window.left < client.right;
    const bool insideY = point.y - window.top < client.bottom;
    if (insideX && insideY) {
        return HTCLIENT;
    }
    if (insideX) {
        return HTHSCROLL;
    }
    return insideY ? HTVSCROLL : HTGROWBOX;
}

LRESULT ListControl::OnGetObject(WPARAM wParam, LPARAM lParam)
{
    // Compared as 32 bits: on 64-bit Windows lParam may come sign-extended.
    if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT) || !Body()) {
        return DefaultProc(WM_GETOBJECT, wParam, lParam);
    }
    if (!accessible_) {
        accessible_.Reset(ListAccessible::Create(*this));
    }
    if (!accessible_) {
        return DefaultProc(WM_GETOBJECT, wParam, lParam);
    }
    return LresultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(accessible_.Get()));
}

LRESULT ListControl::OnNcDestroy(WPARAM wParam, LPARAM lParam)
{
    DisconnectAccessible();
    return DefaultProc(WM_NCDESTROY, wParam, lParam);
}

void ListControl::DisconnectAccessible()
{
    if (accessible_) {
        accessible_.Get()->Disconnect();
        accessible_.Reset();
    }
}

void ListControl::PressButtonLater(const ListRow& row)
{
    PostMessageW(Handle(), WM_PRESS_ROW_BUTTON, rowsGeneration_, Body()->Position(&row));
}

bool ListControl::TakesInput() const
{
    const HWND desktop = GetDesktopWindow();
    for (HWND window = Handle(); window && window != desktop; window = GetAncestor(window, GA_PARENT)) {
        if (!IsWindowEnabled(window)) {
            return false;
        }
    }
    return true;
}

// NOLINTNEXTLINE(readability-make-member-function-const): a message handler has the table's signature.
LRESULT ListControl::OnPressRowButton(WPARAM wParam, LPARAM lParam)
{
    // Rows rebuilt since the request may hold another product at that place;
    // a modal box that came up since shuts the press out as it does a click.
    ListRow* const row =
        wParam == rowsGeneration_ && Body() && TakesInput() ? Body()->RowAt(static_cast<int>(lParam)) : nullptr;
    if (ButtonElement* const button = row ? row->DefaultButton() : nullptr) {
        button->Click();
    }
    return 0;
}
