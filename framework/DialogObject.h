#pragma once

#include <windows.h>

#include "framework/WindowObject.h"

// The base of every modal dialog, run from a dialog template resource. The
// dialog's own procedure stays the dialog manager's; messages reach the
// object through ObjectDialogProc.
class DialogObject : public WindowObject {
public:
    explicit DialogObject(UINT templateId) : templateId_(templateId) {}

    MESSAGE_MAP_DECLARATION();

    // For a dialog, 0 lets the dialog manager do its own default processing.
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Runs after the object has been bound to the dialog window.
    virtual BOOL OnInitDialog();
    // The dialog's dispatch: the mapped handler's result, or DefaultProc.
    virtual LRESULT DialogMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Runs the dialog modally; returns the result given to EndModal.
    INT_PTR DoModal(HWND parent);
    void EndModal(INT_PTR result);

private:
    // Command IDOK, any notification code: ends the dialog with 1.
    virtual LRESULT OnOK(WPARAM wParam, LPARAM lParam);
    // Command IDCANCEL, any notification code: ends the dialog with 2.
    virtual LRESULT OnCancel(WPARAM wParam, LPARAM lParam);

    UINT templateId_;
};

// The dialog procedure of every dialog run by DoModal.
INT_PTR CALLBACK ObjectDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
