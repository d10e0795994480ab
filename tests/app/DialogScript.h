#pragma once

#include "app/MainDialog.h"

#include <windows.h>

#include <functional>
#include <vector>

// Runs a dialog modally and plays a test's steps on it from inside the
// dialog's own modal loop, one step per tick of a thread timer, from the
// moment the dialog is shown. Between two
// steps the loop runs, so whatever a step posts has been handled when the
// next one starts. A step may run a nested loop (a message box); while it
// does, the ticks go to the handler given to WhileBlocked instead.
class DialogScript {
public:
    using Step = std::function<void(HWND dialog)>;

    // What Run returns when the steps ran out and the dialog was still open.
    static constexpr INT_PTR kAbandoned = 0x5A5A;

    explicit DialogScript(std::vector<Step> steps);
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;

    // DoModal's result.
    INT_PTR Run(MainDialog& dialog);
    // Called on every tick while a step is still running.
    void WhileBlocked(std::function<void()> handler) { blockedHandler_ = std::move(handler); }
    size_t StepsRun() const { return next_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void PlayNext();

    std::vector<Step> steps_;
    std::function<void()> blockedHandler_;
    MainDialog* dialog_ = nullptr;
    size_t next_ = 0;
    bool inStep_ = false;
};
