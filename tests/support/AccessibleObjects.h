#pragma once

#include "base/ScopedHandle.h"

#include <oleacc.h>

// The list's objects as a screen reader reaches them, in this process or from another one.
using Accessible = ScopedComReference<IAccessible>;

inline VARIANT Child(LONG id)
{
    VARIANT child = {};
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

// The object that an answer hands out, or none.
inline Accessible ObjectOf(const VARIANT& answer)
{
    IAccessible* object = nullptr;
    if (answer.vt == VT_DISPATCH && answer.pdispVal) {
        answer.pdispVal->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&object));
        answer.pdispVal->Release();
    }
    return Accessible(object);
}

// A list window's client object, or none.
inline Accessible ListObject(HWND list)
{
    IAccessible* object = nullptr;
    AccessibleObjectFromWindow(list, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&object));
    return Accessible(object);
}

// The list object's n-th row, or none.
inline Accessible RowObject(const Accessible& list, LONG n)
{
    VARIANT answer = {};
    answer.vt = list.Get()->get_accChild(Child(n), &answer.pdispVal) == S_OK ? VT_DISPATCH : VT_EMPTY;
    return ObjectOf(answer);
}
