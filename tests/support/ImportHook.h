#pragma once

#include <windows.h>

// For its lifetime, calls this program makes to one function of a system DLL go to a stand-in instead: the program is
// linked into the test, so its calls go through the test's own import table, and the test sees exactly what the
// program hands the platform. The stand-in may call Original(). Restored at the end of its scope.
class ImportHook {
public:
    template <typename Function>
    ImportHook(const char* dll, const char* function, Function* standIn)
        : ImportHook(dll, function, reinterpret_cast<void*>(standIn))
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
    ImportHook(const char* dll, const char* function, void* standIn);

    void** slot_ = nullptr;
    void* original_ = nullptr;
};
