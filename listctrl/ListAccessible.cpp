#include "listctrl/ListAccessible.h"

#include "elements/ButtonElement.h"
#include "listctrl/ListBody.h"
#include "listctrl/ListControl.h"
#include "listctrl/ListRow.h"

#include <string>

// Interface identifiers are taken from the headers (__uuidof), never from the
// import libraries: the 64-bit oleacc library's IID_IAccessible is a code
// stub, whose bytes a link can take for the identifier.

namespace {

// The row's button is the row's one simple child.
constexpr LONG kButtonChild = 1;
constexpr wchar_t kButtonAction[] = L"按下";
// Every SELFLAG_ bit there is; any other is an invalid argument.
constexpr LONG kSelectionFlags = SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION | SELFLAG_EXTENDSELECTION
    | SELFLAG_ADDSELECTION | SELFLAG_REMOVESELECTION;
// What a row or button answers to an action while its list takes no input.
constexpr HRESULT kUnavailable = E_ACCESSDENIED;

VARIANT Integer(LONG value)
{
    VARIANT variant;
    VariantInit(&variant);
    variant.vt = VT_I4;
    variant.lVal = value;
    return variant;
}

VARIANT Self()
{
    return Integer(CHILDID_SELF);
}

bool IsSelf(const VARIANT& child)
{
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

bool IsDirection(LONG direction)
{
    return direction >= NAVDIR_UP && direction <= NAVDIR_LASTCHILD;
}

// Hands object (one reference, the caller's) out as VT_DISPATCH.
HRESULT Dispatch(IDispatch* object, VARIANT* result)
{
    result->vt = VT_DISPATCH;
    result->pdispVal = object;
    return S_OK;
}

// Nothing there: VT_EMPTY and S_FALSE.
HRESULT Nothing(VARIANT* result)
{
    VariantInit(result);
    return S_FALSE;
}

// An empty text is no text: S_FALSE and null.
HRESULT Text(const std::wstring& text, BSTR* result)
{
    *result = nullptr;
    if (text.empty()) {
        return S_FALSE;
    }
    *result = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *result ? S_OK : E_OUTOFMEMORY;
}

// An element's rectangle (client coordinates of window) on the screen.
void ScreenLocation(HWND window, const RECT& rect, LONG* left, LONG* top, LONG* width, LONG* height)
{
    POINT corner = {rect.left, rect.top};
    ClientToScreen(window, &corner);
    *left = corner.x;
    *top = corner.y;
    *width = rect.right - rect.left;
    *height = rect.bottom - rect.top;
}

} // namespace

HRESULT AccessibleObject::QueryInterface(REFIID iid, void** object)
{
    if (!object) {
        return E_POINTER;
    }
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
        *object = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG AccessibleObject::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG AccessibleObject::Release()
{
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) {
        delete this;
    }
    return static_cast<ULONG>(left);
}

HRESULT AccessibleObject::GetTypeInfoCount(UINT* count)
{
    *count = 0;
    return S_OK;
}

HRESULT AccessibleObject::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    *info = nullptr;
    return E_NOTIMPL;
}

HRESULT AccessibleObject::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return E_NOTIMPL;
}

HRESULT AccessibleObject::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)
{
    return E_NOTIMPL;
}

HRESULT AccessibleObject::put_accName(VARIANT, BSTR)
{
    return E_NOTIMPL;
}

HRESULT AccessibleObject::put_accValue(VARIANT, BSTR)
{
    return E_NOTIMPL;
}

// ---------------------------------------------------------------- the list

ListAccessible* ListAccessible::Create(ListControl& list)
{
    IAccessible* standard = nullptr;
    if (FAILED(CreateStdAccessibleObject(list.Handle(), OBJID_CLIENT, __uuidof(IAccessible),
            reinterpret_cast<void**>(&standard)))) {
        return nullptr;
    }
    return new ListAccessible(list, standard);
}

ListAccessible::ListAccessible(ListControl& list, IAccessible* standard) : list_(&list), standard_(standard) {}

void ListAccessible::Disconnect()
{
    list_ = nullptr;
    standard_.Reset();
}

IDispatch* ListAccessible::RowObject(ListRow& row)
{
    return new RowAccessible(*this, row);
}

HRESULT ListAccessible::Target(const VARIANT& child, ScopedComReference<IAccessible>& target)
{
    if (!list_) {
        return RPC_E_DISCONNECTED;
    }
    if (IsSelf(child)) {
        standard_.Get()->AddRef();
        target.Reset(standard_.Get());
        return S_OK;
    }
    ListRow* const row = RowOf(child);
    if (!row) {
        return E_INVALIDARG;
    }
    target.Reset(new RowAccessible(*this, *row));
    return S_OK;
}

ListRow* ListAccessible::RowOf(const VARIANT& child) const
{
    return child.vt == VT_I4 ? list_->Body()->RowAt(child.lVal) : nullptr;
}

template <typename Call>
HRESULT ListAccessible::Forward(const VARIANT& child, Call call)
{
    ScopedComReference<IAccessible> target;
    const HRESULT found = Target(child, target);
    return FAILED(found) ? found : call(*target.Get());
}

HRESULT ListAccessible::RowVariant(int position, VARIANT* result)
{
    ListRow* const row = list_->Body()->RowAt(position);
    return row ? Dispatch(RowObject(*row), result) : Nothing(result);
}

HRESULT ListAccessible::get_accParent(IDispatch** parent)
{
    *parent = nullptr;
    return list_ ? standard_.Get()->get_accParent(parent) : RPC_E_DISCONNECTED;
}

HRESULT ListAccessible::get_accChildCount(LONG* count)
{
    *count = 0;
    if (!list_) {
        return RPC_E_DISCONNECTED;
    }
    *count = list_->Body()->RowCount();
    return S_OK;
}

HRESULT ListAccessible::get_accChild(VARIANT child, IDispatch** object)
{
    *object = nullptr;
    if (!list_) {
        return RPC_E_DISCONNECTED;
    }
    ListRow* const row = RowOf(child);
    if (!row) {
        return E_INVALIDARG;
    }
    *object = RowObject(*row);
    return S_OK;
}

HRESULT ListAccessible::get_accName(VARIANT child, BSTR* name)
{
    *name = nullptr;
    return Forward(child, [&](IAccessible& target) { return target.get_accName(Self(), name); });
}

HRESULT ListAccessible::get_accValue(VARIANT child, BSTR* value)
{
    *value = nullptr;
    return Forward(child, [&](IAccessible& target) { return target.get_accValue(Self(), value); });
}

HRESULT ListAccessible::get_accDescription(VARIANT child, BSTR* description)
{
    *description = nullptr;
    return Forward(child, [&](IAccessible& target) { return target.get_accDescription(Self(), description); });
}

HRESULT ListAccessible::get_accRole(VARIANT child, VARIANT* role)
{
    VariantInit(role);
    if (list_ && IsSelf(child)) {
        *role = Integer(ROLE_SYSTEM_LIST);
        return S_OK;
    }
    return Forward(child, [&](IAccessible& target) { return target.get_accRole(Self(), role); });
}

HRESULT ListAccessible::get_accState(VARIANT child, VARIANT* state)
{
    VariantInit(state);
    return Forward(child, [&](IAccessible& target) { return target.get_accState(Self(), state); });
}

HRESULT ListAccessible::get_accHelp(VARIANT child, BSTR* help)
{
    *help = nullptr;
    return Forward(child, [&](IAccessible& target) { return target.get_accHelp(Self(), help); });
}

HRESULT ListAccessible::get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic)
{
    *file = nullptr;
    *topic = 0;
    // No help file, for the list as for its rows.
    if (list_ && IsSelf(child)) {
        return S_FALSE;
    }
    return Forward(child, [&](IAccessible& target) { return target.get_accHelpTopic(file, Self(), topic); });
}

HRESULT ListAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut)
{
    *shortcut = nullptr;
    return Forward(child, [&](IAccessible& target) { return target.get_accKeyboardShortcut(Self(), shortcut); });
}

HRESULT ListAccessible::get_accFocus(VARIANT* focus)
{
    VariantInit(focus);
    if (!list_) {
        return RPC_E_DISCONNECTED;
    }
    const HRESULT result = standard_.Get()->get_accFocus(focus);
    // With the focus on the list itself, the selected row is what has it.
    ListRow* const selected = list_->SelectedRow();
    if (IsSelf(*focus) && selected) {
        return Dispatch(RowObject(*selected), focus);
    }
    // Nothing there is S_FALSE, whatever the standard object answers with it.
    return focus->vt == VT_EMPTY && SUCCEEDED(result) ? Nothing(focus) : result;
}

HRESULT ListAccessible::get_accSelection(VARIANT* selection)
{
    VariantInit(selection);
    if (!list_) {
        return RPC_E_DISCONNECTED;
    }
    ListRow* const selected = list_->SelectedRow();
    return selected ? Dispatch(RowObject(*selected), selection) : Nothing(selection);
}

HRESULT ListAccessible::get_accDefaultAction(VARIANT child, BSTR* action)
{
    *action = nullptr;
    return Forward(child, [&](IAccessible& target) { return target.get_accDefaultAction(Self(), action); });
}

HRESULT ListAccessible::accSelect(LONG flags, VARIANT child)
{
    if (list_ && IsSelf(child) && (flags & ~kSelectionFlags) != 0) {
        return E_INVALIDARG;
    }
    if (list_ && IsSelf(child) && flags == SELFLAG_NONE) {
        return S_OK;
    }
    return Forward(child, [&](IAccessible& target) { return target.accSelect(flags, Self()); });
}

HRESULT ListAccessible::accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child)
{
    *left = *top = *width = *height = 0;
    return Forward(child, [&](IAccessible& target) { return target.accLocation(left, top, width, height, Self()); });
}

HRESULT ListAccessible::accNavigate(LONG direction, VARIANT start, VARIANT* end)
{
    VariantInit(end);
    if (!list_) {
        return RPC_E_DISCONNECTED;
    }
    if (!IsDirection(direction)) {
        return E_INVALIDARG;
    }
    const bool toChild = direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD;
    if (toChild && !IsSelf(start)) {
        return E_INVALIDARG;
    }
    if (toChild) {
        return RowVariant(direction == NAVDIR_FIRSTCHILD ? 1 : list_->Body()->RowCount(), end);
    }
    // The list among its siblings from the standard object, a row among the rows from the row's.
    return Forward(start, [&](IAccessible& target) { return target.accNavigate(direction, Self(), end); });
}

HRESULT ListAccessible::accHitTest(LONG x, LONG y, VARIANT* child)
{
    VariantInit(child);
    if (!list_) {
        return RPC_E_DISCONNECTED;
    }
    POINT point = {x, y};
    ScreenToClient(list_->Handle(), &point);
    RECT client = {};
    GetClientRect(list_->Handle(), &client);
    ListRow* const row = PtInRect(&client, point) ? list_->Body()->HitTestRow(point) : nullptr;
    return row ? Dispatch(RowObject(*row), child) : standard_.Get()->accHitTest(x, y, child);
}

HRESULT ListAccessible::accDoDefaultAction(VARIANT child)
{
    return Forward(child, [&](IAccessible& target) { return target.accDoDefaultAction(Self()); });
}

// ---------------------------------------------------------------- a row

RowAccessible::RowAccessible(ListAccessible& list, ListRow& row)
    : list_(&list), row_(row), generation_(list.List()->RowsGeneration())
{
    list.AddRef();
}

HRESULT RowAccessible::CheckRow() const
{
    const ListControl* const list = list_.Get()->List();
    if (!list) {
        return RPC_E_DISCONNECTED;
    }
    return list->RowsGeneration() == generation_ ? S_OK : E_INVALIDARG;
}

HRESULT RowAccessible::Check(const VARIANT& child) const
{
    const HRESULT row = CheckRow();
    if (FAILED(row)) {
        return row;
    }
    if (IsSelf(child) || (child.vt == VT_I4 && child.lVal == kButtonChild && row_.DefaultButton())) {
        return S_OK;
    }
    return E_INVALIDARG;
}

const Element& RowAccessible::Part(const VARIANT& child) const
{
    if (IsSelf(child)) {
        return row_;
    }
    return *row_.DefaultButton();
}

HRESULT RowAccessible::NoText(const VARIANT& child, BSTR* text) const
{
    *text = nullptr;
    const HRESULT checked = Check(child);
    return FAILED(checked) ? checked : S_FALSE;
}

bool RowAccessible::HasFocus() const
{
    const ListControl& list = *list_.Get()->List();
    return list.SelectedRow() == &row_ && GetFocus() == list.Handle();
}

HRESULT RowAccessible::get_accParent(IDispatch** parent)
{
    *parent = nullptr;
    const HRESULT checked = CheckRow();
    if (FAILED(checked)) {
        return checked;
    }
    list_.Get()->AddRef();
    *parent = list_.Get();
    return S_OK;
}

HRESULT RowAccessible::get_accChildCount(LONG* count)
{
    *count = 0;
    const HRESULT checked = CheckRow();
    if (FAILED(checked)) {
        return checked;
    }
    *count = row_.DefaultButton() ? 1 : 0;
    return S_OK;
}

HRESULT RowAccessible::get_accChild(VARIANT child, IDispatch** object)
{
    *object = nullptr;
    const HRESULT checked = Check(child);
    if (FAILED(checked)) {
        return checked;
    }
    // The button is a simple element: the row answers for it.
    return IsSelf(child) ? E_INVALIDARG : S_FALSE;
}

HRESULT RowAccessible::get_accName(VARIANT child, BSTR* name)
{
    *name = nullptr;
    const HRESULT checked = Check(child);
    if (FAILED(checked)) {
        return checked;
    }
    return Text(IsSelf(child) ? row_.Name() : row_.DefaultButton()->Text(), name);
}

HRESULT RowAccessible::get_accValue(VARIANT child, BSTR* value)
{
    return NoText(child, value);
}

HRESULT RowAccessible::get_accDescription(VARIANT child, BSTR* description)
{
    return NoText(child, description);
}

HRESULT RowAccessible::get_accRole(VARIANT child, VARIANT* role)
{
    VariantInit(role);
    const HRESULT checked = Check(child);
    if (FAILED(checked)) {
        return checked;
    }
    *role = Integer(IsSelf(child) ? ROLE_SYSTEM_LISTITEM : ROLE_SYSTEM_PUSHBUTTON);
    return S_OK;
}

HRESULT RowAccessible::get_accState(VARIANT child, VARIANT* state)
{
    VariantInit(state);
    const HRESULT checked = Check(child);
    if (FAILED(checked)) {
        return checked;
    }
    const Element& part = Part(child);
    const ListControl& list = *list_.Get()->List();
    const RECT client = {0, 0, list.ClientWidth(), list.ClientHeight()};
    RECT shown = {};
    LONG flags = list.TakesInput() ? 0 : STATE_SYSTEM_UNAVAILABLE;
    if (!row_.Visible()) {
        flags |= STATE_SYSTEM_INVISIBLE;
    } else if (!IntersectRect(&shown, &part.Rect(), &client)) {
        flags |= STATE_SYSTEM_OFFSCREEN;
    }
    if (IsSelf(child)) {
        flags |= STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
        flags |= row_.Selected() ? STATE_SYSTEM_SELECTED : 0;
        flags |= HasFocus() ? STATE_SYSTEM_FOCUSED : 0;
    } else {
        const ButtonElement& button = *row_.DefaultButton();
        flags |= button.Pressed() && button.Hover() ? STATE_SYSTEM_PRESSED : 0;
    }
    *state = Integer(flags);
    return S_OK;
}

HRESULT RowAccessible::get_accHelp(VARIANT child, BSTR* help)
{
    return NoText(child, help);
}

HRESULT RowAccessible::get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic)
{
    *file = nullptr;
    *topic = 0;
    const HRESULT checked = Check(child);
    return FAILED(checked) ? checked : S_FALSE;
}

HRESULT RowAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut)
{
    return NoText(child, shortcut);
}

HRESULT RowAccessible::get_accFocus(VARIANT* focus)
{
    VariantInit(focus);
    const HRESULT checked = CheckRow();
    if (FAILED(checked)) {
        return checked;
    }
    if (!HasFocus()) {
        return Nothing(focus);
    }
    *focus = Self();
    return S_OK;
}

HRESULT RowAccessible::get_accSelection(VARIANT* selection)
{
    VariantInit(selection);
    // Neither the row nor its button has anything selectable inside.
    const HRESULT checked = CheckRow();
    return FAILED(checked) ? checked : Nothing(selection);
}

HRESULT RowAccessible::get_accDefaultAction(VARIANT child, BSTR* action)
{
    *action = nullptr;
    const HRESULT checked = Check(child);
    if (FAILED(checked)) {
        return checked;
    }
    return IsSelf(child) ? S_FALSE : Text(kButtonAction, action);
}

HRESULT RowAccessible::accSelect(LONG flags, VARIANT child)
{
    const HRESULT checked = Check(child);
    if (FAILED(checked)) {
        return checked;
    }
    if ((flags & ~kSelectionFlags) != 0) {
        return E_INVALIDARG;
    }
    ListControl& list = *list_.Get()->List();
    if (!list.TakesInput()) {
        return kUnavailable;
    }
    if (flags == SELFLAG_NONE) {
        return S_OK;
    }
    if (!IsSelf(child)) {
        return DISP_E_MEMBERNOTFOUND;
    }
    // One row is both the selection and the focus; nothing else is offered.
    constexpr LONG kOffered = SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION;
    if ((flags & ~kOffered) != 0) {
        return E_INVALIDARG;
    }
    if (flags & SELFLAG_TAKEFOCUS) {
        SetFocus(list.Handle());
    }
    list.SetSelected(&row_);
    // The parent may have emptied the list while it was told of the change.
    list.EnsureVisible(list.SelectedRow());
    return S_OK;
}

HRESULT RowAccessible::accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child)
{
    *left = *top = *width = *height = 0;
    const HRESULT checked = Check(child);
    if (FAILED(checked)) {
        return checked;
    }
    ScreenLocation(list_.Get()->List()->Handle(), Part(child).Rect(), left, top, width, height);
    return S_OK;
}

HRESULT RowAccessible::accNavigate(LONG direction, VARIANT start, VARIANT* end)
{
    VariantInit(end);
    const HRESULT checked = Check(start);
    if (FAILED(checked)) {
        return checked;
    }
    if (!IsDirection(direction)) {
        return E_INVALIDARG;
    }
    const bool toChild = direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD;
    if (!IsSelf(start)) {
        // The button has no children and no siblings.
        return toChild ? E_INVALIDARG : Nothing(end);
    }
    if (toChild) {
        if (!row_.DefaultButton()) {
            return Nothing(end);
        }
        *end = Integer(kButtonChild);
        return S_OK;
    }
    const ListBody& body = *list_.Get()->List()->Body();
    const int position = body.Position(&row_);
    ListRow* sibling = nullptr;
    if (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN) {
        sibling = body.RowAt(position + 1);
    } else if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP) {
        sibling = body.RowAt(position - 1);
    }
    return sibling ? Dispatch(list_.Get()->RowObject(*sibling), end) : Nothing(end);
}

HRESULT RowAccessible::accHitTest(LONG x, LONG y, VARIANT* child)
{
    VariantInit(child);
    const HRESULT checked = CheckRow();
    if (FAILED(checked)) {
        return checked;
    }
    POINT point = {x, y};
    ScreenToClient(list_.Get()->List()->Handle(), &point);
    const ButtonElement* const button = row_.DefaultButton();
    if (button && button->Visible() && PtInRect(&button->Rect(), point)) {
        *child = Integer(kButtonChild);
        return S_OK;
    }
    if (row_.Visible() && PtInRect(&row_.Rect(), point)) {
        *child = Self();
        return S_OK;
    }
    return Nothing(child);
}

HRESULT RowAccessible::accDoDefaultAction(VARIANT child)
{
    const HRESULT checked = Check(child);
    if (FAILED(checked)) {
        return checked;
    }
    if (IsSelf(child)) {
        return DISP_E_MEMBERNOTFOUND;
    }
    ListControl& list = *list_.Get()->List();
    if (!list.TakesInput()) {
        return kUnavailable;
    }
    // A click may start a process or show a message box: the caller is not kept waiting for it.
    list.PressButtonLater(row_);
    return S_OK;
}
