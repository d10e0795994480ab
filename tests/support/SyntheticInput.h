#pragma once

#include <windows.h>

// Input as a user gives it, through SendInput: it reaches whatever lies under the pointer or has the focus. Each
// call hands all its events over at once, with no pause between them.

// Moves there and presses and releases the left button count times: 0 only moves there, 2 is a double-click.
void ClickAt(POINT screen, int count = 1);
// Turns the wheel by notches (negative: towards the user, scrolling down), one event per notch.
void TurnWheel(int notches);
