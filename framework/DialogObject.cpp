#include "framework/DialogObject.h"

namespace {

// The module whose dialog templates DoModal runs; looked up once.
HINSTANCE DialogModule()
{
    static const HINSTANCE module = GetModuleHandleW(nullptr);
    return module;
}

} // namespace

// clang-format off
MESSAGE_MAP(DialogObject, WindowObject,
    CommandEntry(IDOK, &DialogObject::OnOK),
    CommandEntry(IDCANCEL, &DialogObject::OnCancel))
// clang-format on

LRESULT DialogObject::DefaultProc(UINT, WPARAM, LPARAM)
{
    return 0;
}

BOOL DialogObject::OnInitDialog()
{
    return TRUE;
}

LRESULT DialogObject::OnOK(WPARAM, LPARAM)
{
    EndModal(IDOK);
    return 1;
}

LRESULT DialogObject::OnCancel(WPARAM, LPARAM)
{
    EndModal(IDCANCEL);
    return 1;
}

LRESULT DialogObject::DialogMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (ProcessMessage(message, wParam, lParam, &result)) {
        return result;
    }
    return DefaultProc(message, wParam, lParam);
}

INT_PTR DialogObject::DoModal(HWND parent)
{
    return DialogBoxParamW(DialogModule(), MAKEINTRESOURCEW(templateId_), parent, ObjectDialogProc,
        reinterpret_cast<LPARAM>(this));
}

void DialogObject::EndModal(INT_PTR result)
{
    EndDialog(Handle(), result);
}

INT_PTR CALLBACK ObjectDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<DialogObject*>(lParam);
        dialog->Attach(window);
        return dialog->OnInitDialog();
    }
    // Messages before WM_INITDIALOG (WM_SETFONT and the like) find no object yet.
    auto* dialog = static_cast<DialogObject*>(WindowObject::FromHandle(window));
    if (!dialog) {
        return 0;
    }
    return dialog->DialogMessage(message, wParam, lParam);
}
