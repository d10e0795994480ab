#include <windows.h>

// The main dialog does not exist yet; the program starts and ends at once.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    return 0;
}
