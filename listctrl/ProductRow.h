#pragma once

#include "catalogue/EntryIcon.h"
#include "catalogue/InstalledEntry.h"
#include "listctrl/ListRow.h"

#include <windows.h>

#include <memory>

class ButtonElement;
class TextElement;

// The command of a row's uninstall button. The button's identifier carries the
// row's key in its high word: key × 65536 + IDC_ROW_UNINSTALL.
constexpr UINT IDC_ROW_UNINSTALL = 105;
// At the default DPI.
constexpr int kProductRowHeight = 50;

// A product of the list: its icon, its name and an uninstall button. The row
// keeps its own copy of the entry; its key is the entry's Sequence.
class ProductRow : public ListRow {
public:
    explicit ProductRow(const InstalledEntry& entry);

    // Creates the name label and the uninstall button.
    void OnAttached() override;
    // Places and sizes itself and its children again, with fonts and icon for the list's DPI.
    void OnDpiChanged() override;
    // Loads the icon, once.
    void PreparePaint() override;
    // Background (gradient when selected), icon, children, separator.
    void Paint(HDC dc, const RECT* clip) override;

    // The entry's display name; the uninstall button.
    std::wstring Name() const override { return entry_.DisplayName; }
    ButtonElement* DefaultButton() const override { return uninstallButton_; }

    const InstalledEntry& Entry() const { return entry_; }
    // Null until the row's first paint; then loaded once, even when that failed.
    const EntryIcon* Icon() const { return icon_.get(); }
    TextElement* NameLabel() const { return nameLabel_; }
    ButtonElement* UninstallButton() const { return uninstallButton_; }

private:
    // The row's height, its children's places and fonts for the list's DPI.
    void FitToDpi();
    void PaintBackground(HDC dc) const;
    void LoadIcon();
    void PaintIcon(HDC dc);

    InstalledEntry entry_;
    std::unique_ptr<EntryIcon> icon_;
    TextElement* nameLabel_ = nullptr;         // one of the children
    ButtonElement* uninstallButton_ = nullptr; // one of the children
};

// The identifier of the uninstall button of the row with this key.
constexpr UINT UninstallButtonId(int key)
{
    return (static_cast<UINT>(key) & 0xFFFF) << 16 | IDC_ROW_UNINSTALL;
}
