#pragma once

#include "base/ScopedHandle.h"

#include <windows.h>
#include <oleacc.h>

class Element;
class ListControl;
class ListRow;

// IUnknown and IDispatch of the list's accessible objects. Clients call the
// IAccessible methods directly: there is no type information to dispatch by.
// Its destructor is protected and virtual: the last Release deletes through it.
// NOLINTNEXTLINE(cppcoreguidelines-virtual-class-destructor)
class AccessibleObject : public IAccessible {
public:
    AccessibleObject() = default;
    AccessibleObject(const AccessibleObject&) = delete;
    AccessibleObject& operator=(const AccessibleObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
        VARIANT* result, EXCEPINFO* exception, UINT* badArgument) override;

    // Names and values are the program's own: nobody renames them.
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

protected:
    // Deleted by the last Release only, which deletes through this class.
    virtual ~AccessibleObject() = default;

private:
    LONG references_ = 1;
};

// What assistive technology sees of a list window (Active Accessibility): the
// list, with one child object per row in display order (numbered from 1). What
// any window has (parent, location, name, the window's own focus) comes from
// the window's standard client object.
//
// The list keeps one while its window lives and disconnects it when the window
// goes. From then on it, and every row object it handed out, answers
// RPC_E_DISCONNECTED; a row object whose row was removed answers E_INVALIDARG.
// While the list takes no input (a modal box is up over its dialog), its rows
// and buttons are unavailable and refuse to be selected or pressed.
class ListAccessible : public AccessibleObject {
public:
    // One reference, the caller's; null when the window has no standard object.
    static ListAccessible* Create(ListControl& list);
    // The window is going: nothing may reach the list from here on.
    void Disconnect();
    // Null once disconnected.
    ListControl* List() const { return list_; }
    // A new object for a row of the list, with one reference, the caller's.
    IDispatch* RowObject(ListRow& row);

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;

private:
    ListAccessible(ListControl& list, IAccessible* standard);

    // The object that answers for child: the standard object for the list
    // itself, a new row object for a row; each is then asked for CHILDID_SELF.
    HRESULT Target(const VARIANT& child, ScopedComReference<IAccessible>& target);
    template <typename Call>
    HRESULT Forward(const VARIANT& child, Call call);
    // The row that a child number names, or null.
    ListRow* RowOf(const VARIANT& child) const;
    // The row at a place from 1 as VT_DISPATCH, or VT_EMPTY with S_FALSE.
    HRESULT RowVariant(int position, VARIANT* result);

    ListControl* list_;
    ScopedComReference<IAccessible> standard_;
};

// One row of the list, with the row's button (when it has one) as its one
// simple child, number 1. It holds the list's object, through which it learns
// whether its row is still there before every use of it.
class RowAccessible : public AccessibleObject {
public:
    RowAccessible(ListAccessible& list, ListRow& row);

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;

private:
    // S_OK when child is the row itself or its button and the row is still in
    // the list; only then may the row be touched.
    HRESULT Check(const VARIANT& child) const;
    // Check for the row itself.
    HRESULT CheckRow() const;
    // The row itself, or its button.
    const Element& Part(const VARIANT& child) const;
    // For the texts that neither the row nor its button has: S_FALSE and null.
    HRESULT NoText(const VARIANT& child, BSTR* text) const;
    // Whether the list has the keyboard focus and this row is its selection.
    bool HasFocus() const;

    ScopedComReference<ListAccessible> list_;
    ListRow& row_;
    // The list's row generation when this object was made: a different one
    // means the row was deleted.
    unsigned generation_;
};
