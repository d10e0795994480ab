#pragma once

#include <windows.h>
#include <commctrl.h>

// The WM_NOTIFY record of the list: the header, then the row's key and a value
// that depends on the code. NM_CLICK, NM_DBLCLK and NM_RCLICK are the platform's.
struct ListNotify {
    NMHDR hdr;
    int key;
    int extra;
};

// A command from an element inside a row: key = high word of the command's
// wParam, extra = its low word.
constexpr UINT LN_COMMAND = 0U - 100U;
// The selected row changed: key of the new one, 0 when the selection was cleared.
constexpr UINT LN_SELCHANGED = 0U - 1000U;
