#pragma once

#include <windows.h>

// For its lifetime, calls this program makes to one function of a system DLL go to a stand-in instead: the program is
// linked into the test, so its calls go through the test's own import table, and the test sees exactly what the
// program hands the platform. The stand-in may call Original(). Restored at the end of its scope.
class ImportHook {
public:
    template <typename Function>
    ImportHook(const char* dll, const char* function, Function* standIn)
        : slot_(FindSlot(dll, function)), original_(slot_ ? Exchange(slot_, reinterpret_cast<void*>(standIn)) : nullptr)
    {
    }
    ~ImportHook();
    ImportHook(const ImportHook&) = delete;
    ImportHook& operator=(const ImportHook&) = delete;

    // The platform's function; null when this program does not import it.
    template <typename Function>
    Function Original() const
    {
        return reinterpret_cast<Function>(original_);
    }

private:
    static void** FindSlot(const char* dll, const char* function);
    static void* Exchange(void** slot, void* value);

    void** slot_ = nullptr;
    void* original_ = nullptr;
};
