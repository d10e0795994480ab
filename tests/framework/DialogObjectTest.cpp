#include "framework/DialogObject.h"

#include "tests/framework/FrameworkTestDialogs.h"
#include "tests/framework/TestWindows.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

constexpr UINT WM_MAPPED = WM_APP + 1;
constexpr UINT WM_UNMAPPED = WM_APP + 2;
constexpr INT_PTR kFinishResult = 77;
// Ends a dialog that the test failed to end, so that DoModal always returns.
constexpr UINT_PTR kWatchdogTimer = 1;
constexpr UINT kWatchdogPeriod = 10000;
constexpr INT_PTR kWatchdogResult = 99;

// Runs the test dialog, posting the given WM_COMMAND wParams to itself from
// OnInitDialog, and records what it sees.
class ScriptedDialog : public DialogObject {
public:
    explicit ScriptedDialog(std::vector<WPARAM> commands = {})
        : DialogObject(IDD_TEST_DIALOG), commands_(std::move(commands))
    {
    }

    MESSAGE_MAP_DECLARATION();

    BOOL OnInitDialog() override
    {
        initialised = true;
        SetTimer(Handle(), kWatchdogTimer, kWatchdogPeriod, nullptr);
        for (const WPARAM command : commands_) {
            PostMessageW(Handle(), WM_COMMAND, command, 0);
        }
        return DialogObject::OnInitDialog();
    }

    LRESULT DialogMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (!initialised) {
            ++messagesBeforeInit;
        }
        return DialogObject::DialogMessage(message, wParam, lParam);
    }

    bool initialised = false;
    int messagesBeforeInit = 0;

protected:
    LRESULT OnMapped(WPARAM, LPARAM) { return 42; }
    LRESULT OnTimer(WPARAM wParam, LPARAM)
    {
        if (wParam == kWatchdogTimer) {
            EndModal(kWatchdogResult);
        }
        return 0;
    }
    LRESULT OnFinish(WPARAM, LPARAM)
    {
        EndModal(kFinishResult);
        return 1;
    }

private:
    std::vector<WPARAM> commands_;
};

MESSAGE_MAP(ScriptedDialog, DialogObject,
    MessageEntry(WM_MAPPED, &ScriptedDialog::OnMapped),
    MessageEntry(WM_TIMER, &ScriptedDialog::OnTimer),
    CommandEntry(IDC_FINISH, &ScriptedDialog::OnFinish))

TEST(DialogTest, OkAndCancelEndWithTheirIdWhateverTheNotificationCode)
{
    for (const WORD id : {WORD{IDOK}, WORD{IDCANCEL}}) {
        for (const WORD code : {WORD{BN_CLICKED}, WORD{1}, WORD{0x1234}, WORD{0xFFFF}}) {
            ScriptedDialog dialog({MAKEWPARAM(id, code)});
            EXPECT_EQ(dialog.DoModal(nullptr), id) << "id " << id << ", notification code " << code;
        }
    }
}

// Ignores IDCANCEL, as a dialog that must not close on Escape does.
class StubbornDialog : public ScriptedDialog {
public:
    using ScriptedDialog::ScriptedDialog;
    LRESULT OnCancel(WPARAM, LPARAM) override
    {
        ++cancelRefusals;
        return 1;
    }
    int cancelRefusals = 0;
};

TEST(DialogTest, DerivedOnCancelCanRefuse)
{
    StubbornDialog dialog({MAKEWPARAM(IDCANCEL, 0), MAKEWPARAM(IDCANCEL, BN_CLICKED), MAKEWPARAM(IDOK, 0)});
    EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
    EXPECT_EQ(dialog.cancelRefusals, 2);
}

// Calls the dialog procedure directly from OnInitDialog, once bound.
class ProbingDialog : public ScriptedDialog {
public:
    ProbingDialog() : ScriptedDialog({MAKEWPARAM(IDOK, 0)}) {}

    BOOL OnInitDialog() override
    {
        initialised = true;
        window = Handle();
        boundAtInit = FromHandle(window) == this;
        dialogProcedure = GetWindowLongPtrW(window, DWLP_DLGPROC);
        SetWindowLongPtrW(window, DWLP_MSGRESULT, kUntouched);
        mappedResult = ObjectDialogProc(window, WM_MAPPED, 0, 0);
        unmappedResult = ObjectDialogProc(window, WM_UNMAPPED, 0, 0);
        messageResultSlot = GetWindowLongPtrW(window, DWLP_MSGRESULT);
        return ScriptedDialog::OnInitDialog();
    }

    static constexpr LONG_PTR kUntouched = 0x7171;
    HWND window = nullptr;
    bool boundAtInit = false;
    LONG_PTR dialogProcedure = 0;
    INT_PTR mappedResult = -1;
    INT_PTR unmappedResult = -1;
    LONG_PTR messageResultSlot = 0;
};

TEST(DialogTest, InitDialogBindsAndMessagesAreAnsweredThroughTheTable)
{
    ProbingDialog dialog;
    EXPECT_EQ(dialog.DoModal(nullptr), IDOK);

    EXPECT_NE(dialog.window, nullptr);
    EXPECT_TRUE(dialog.boundAtInit);
    EXPECT_EQ(dialog.messagesBeforeInit, 0);
    EXPECT_EQ(dialog.dialogProcedure, reinterpret_cast<LONG_PTR>(&ObjectDialogProc));
    EXPECT_EQ(dialog.mappedResult, 42);
    EXPECT_EQ(dialog.unmappedResult, 0);
    EXPECT_EQ(dialog.messageResultSlot, ProbingDialog::kUntouched);
}

TEST(DialogTest, MessagesForAWindowWithoutObjectReturnZero)
{
    ScopedWindow window(CreateOriginalWindow());
    ASSERT_NE(window.Get(), nullptr);
    EXPECT_EQ(ObjectDialogProc(window.Get(), WM_MAPPED, 0, 0), 0);
    EXPECT_EQ(ObjectDialogProc(window.Get(), WM_COMMAND, IDOK, 0), 0);
}

// Draws the owner-drawn button of the test dialog and ends the dialog once drawn.
class OwnerDrawnButton : public WindowObject {
public:
    bool OnReflectedMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT*) override
    {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (message == WM_DRAWITEM && wParam == IDC_OWNER_DRAWN && item->hwndItem == Handle()
            && item->CtlType == ODT_BUTTON) {
            ++drawRequests;
            FillRect(item->hDC, &item->rcItem, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
            PostMessageW(GetParent(Handle()), WM_COMMAND, IDC_FINISH, 0);
        }
        return true;
    }
    int drawRequests = 0;
};

class OwnerDrawDialog : public ScriptedDialog {
public:
    BOOL OnInitDialog() override
    {
        button.Subclass(GetDlgItem(Handle(), IDC_OWNER_DRAWN));
        return ScriptedDialog::OnInitDialog();
    }
    OwnerDrawnButton button;
};

TEST(DialogTest, OwnerDrawnChildDrawsThroughItsObject)
{
    OwnerDrawDialog dialog;
    EXPECT_EQ(dialog.DoModal(nullptr), kFinishResult);
    EXPECT_GE(dialog.button.drawRequests, 1);
}

} // namespace
