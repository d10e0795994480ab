#pragma once

#include "listctrl/ListBody.h"

// The body of the product list: with no visible row it shows a message in its
// middle instead.
class ProductListBody : public ListBody {
public:
    using ListBody::ListBody;

    void Paint(HDC dc, const RECT* clip) override;
};
