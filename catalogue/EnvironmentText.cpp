#include "catalogue/EnvironmentText.h"

#include "catalogue/InstalledEntry.h"

#include <windows.h>

bool ExpandEnvironmentText(const std::wstring& text, std::wstring& expanded)
{
    wchar_t buffer[kStoredTextCapacity];
    // The count includes the terminator; one larger than the buffer means it did not fit.
    const DWORD length = ExpandEnvironmentStringsW(text.c_str(), buffer, kStoredTextCapacity);
    if (length == 0 || length > kStoredTextCapacity) {
        return false;
    }
    expanded.assign(buffer, length - 1);
    return true;
}
