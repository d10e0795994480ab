#pragma once

#include <windows.h>

// Input as the user gives it: hardware-level mouse and keyboard events
// (SendInput), which reach whatever window is under the pointer or has the
// keyboard focus.

// Moves the pointer to a screen position.
void MovePointer(POINT screen);
// Moves the pointer there, presses and releases the left button.
void LeftClick(POINT screen);
// Presses and releases a key.
void PressKey(WORD virtualKey);
