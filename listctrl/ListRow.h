#pragma once

#include "elements/ContainerElement.h"

#include <string>

// One row of a list: a container element with the owner's key for it and the
// selected and hot flags. It paints its children only.
class ListRow : public ContainerElement {
public:
    explicit ListRow(int key) : key_(key) {}

    // Repaints the row (without erasing) when the flag changes.
    void SetSelected(bool selected);
    void SetHot(bool hot);

    // The list's DPI changed: a row scales the lengths it owns again.
    virtual void OnDpiChanged() {}
    // Runs before a paint that covers the row, outside any painting: work that
    // may fail inside the system (loading an icon) cannot leave a paint half done.
    virtual void PreparePaint() {}
    // What assistive technology reads out for the row; a plain row has no name.
    virtual std::wstring Name() const { return {}; }
    // The button that Space and assistive technology press for the row; null
    // when it has none. One of the row's children.
    virtual ButtonElement* DefaultButton() const { return nullptr; }

    // The DPI of the list the row is in; the default before it is in one.
    int Dpi() const;
    int Key() const { return key_; }
    bool Selected() const { return selected_; }
    bool Hot() const { return hot_; }

protected:
    // After the selected flag has changed.
    virtual void OnSelectionChanged() {}

private:
    int key_;
    bool selected_ = false;
    bool hot_ = false;
};
