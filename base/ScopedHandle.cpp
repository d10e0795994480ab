#include "base/ScopedHandle.h"

void KernelHandleTraits::Close(HANDLE handle)
{
    CloseHandle(handle);
}

void RegistryKeyTraits::Close(HKEY key)
{
    RegCloseKey(key);
}

void IconTraits::Close(HICON icon)
{
    DestroyIcon(icon);
}

void CreatedDCTraits::Close(HDC dc)
{
    DeleteDC(dc);
}

void WindowDCTraits::Close(HDC dc)
{
    // The DC knows its window (for the screen's DC, the desktop or none: ReleaseDC takes either).
    ReleaseDC(WindowFromDC(dc), dc);
}
