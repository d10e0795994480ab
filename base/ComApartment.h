#pragma once

#include <windows.h>
#include <objbase.h>

// The thread as a single-threaded COM apartment, for as long as the object
// lives. Assistive technology in other processes reaches the window's
// accessible objects through COM, which hands their calls to this thread's
// message loop; and the shell may hand a start through its consent prompt to
// extensions that COM brings in.
class ComApartment {
public:
    ComApartment() : entered_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment()
    {
        if (entered_) {
            CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    const bool entered_;
};
