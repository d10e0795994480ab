#include "tests/app/DialogScript.h"

namespace {

constexpr UINT kTickMs = 20;

// The script being played; ticks of a thread timer carry no object.
DialogScript* g_playing = nullptr;

} // namespace

DialogScript::DialogScript(std::vector<Step> steps) : steps_(std::move(steps)) {}

INT_PTR DialogScript::Run(MainDialog& dialog)
{
    dialog_ = &dialog;
    g_playing = this;
    const UINT_PTR timer = SetTimer(nullptr, 0, kTickMs, &DialogScript::Tick);
    const INT_PTR result = dialog.DoModal(nullptr);
    KillTimer(nullptr, timer);
    g_playing = nullptr;
    return result;
}

void CALLBACK DialogScript::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_playing) {
        g_playing->PlayNext();
    }
}

void DialogScript::PlayNext()
{
    // Steps start once the dialog is on the screen, as the user first sees it.
    const HWND dialog = dialog_->Handle();
    if (!dialog || !IsWindowVisible(dialog)) {
        return;
    }
    if (inStep_) {
        if (blockedHandler_) {
            blockedHandler_();
        }
        return;
    }
    if (next_ == steps_.size()) {
        EndDialog(dialog, kAbandoned);
        return;
    }
    inStep_ = true;
    steps_[next_++](dialog);
    inStep_ = false;
}
