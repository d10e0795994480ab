#include "app/MainDialog.h"
#include "base/ComApartment.h"

#include <windows.h>

// The command line is ignored; the exit code is always 0. The dialog object
// lives on this frame: its windows are gone when DoModal returns, and the
// process-wide font cache goes at exit, after it. The apartment outlives the
// dialog, whose list may have handed its accessible object out.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    const ComApartment apartment;
    MainDialog dialog;
    dialog.DoModal(nullptr);
    return 0;
}
