#pragma once

#include <windows.h>

// The pixels per inch that every length of the program is given for; a
// display of another scale gets them multiplied by its DPI / kDefaultDpi.
constexpr int kDefaultDpi = 96;

// A length for dpi, rounded as the system rounds its own (MulDiv: halves away from zero).
inline int Scaled(int length, int dpi)
{
    return MulDiv(length, dpi, kDefaultDpi);
}

// The DPI of the monitor a window is shown on. Asked of the system where it
// knows one per window (Windows 10 1607 on); on older systems, which have one
// DPI for the whole desktop, the window's device context says it.
int WindowDpi(HWND window);
