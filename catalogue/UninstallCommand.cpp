#include "catalogue/UninstallCommand.h"

#include "catalogue/UninstallerLaunch.h"

#include <cwchar>

namespace {

constexpr const wchar_t* kInstallerProgram = L"\\msiexec.exe";
constexpr const wchar_t* kRemoveOption = L" /X";
// No user interface at all, and no restart even when one is due: the caller
// learns of that from the exit code.
constexpr const wchar_t* kInstallerQuietOptions = L" /qn /norestart";
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}": hex digits and the hyphens' places.
constexpr const wchar_t* kProductCodeShape = L"{hhhhhhhh-hhhh-hhhh-hhhh-hhhhhhhhhhhh}";

// Steps past prefix (ASCII letters in any case) at position at.
bool SkipWord(const std::wstring& text, size_t& at, const wchar_t* prefix)
{
    const size_t length = wcslen(prefix);
    if (_wcsnicmp(text.c_str() + at, prefix, length) != 0) {
        return false;
    }
    at += length;
    return true;
}

// ASCII only: a product code is a GUID, whatever other scripts call digits.
bool IsHexDigit(wchar_t c)
{
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

bool IsProductCode(const std::wstring& text)
{
    if (text.size() != wcslen(kProductCodeShape)) {
        return false;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        const bool fits = kProductCodeShape[i] == L'h' ? IsHexDigit(text[i]) : text[i] == kProductCodeShape[i];
        if (!fits) {
            return false;
        }
    }
    return true;
}

// The Installer's removal of a product, started from the system folder by its
// full path: never an msiexec.exe that lies in this program's folder or the
// current one.
std::wstring InstallerRemoval(const std::wstring& code)
{
    return L"\"" + SystemFolder(false) + kInstallerProgram + L"\"" + kRemoveOption + code;
}

} // namespace

bool InstallerMaintenanceCode(const InstalledEntry& entry, std::wstring& code)
{
    if (!entry.WindowsInstaller) {
        return false;
    }
    const std::wstring& command = entry.UninstallString;
    size_t at = 0;
    if (!SkipWord(command, at, L"MsiExec")) {
        return false;
    }
    SkipWord(command, at, L".exe");
    if (!SkipWord(command, at, L" /I")) {
        return false;
    }
    SkipWord(command, at, L" ");
    const std::wstring rest = command.substr(at);
    if (!IsProductCode(rest)) {
        return false;
    }
    code = rest;
    return true;
}

std::wstring UninstallCommand(const InstalledEntry& entry)
{
    std::wstring code;
    return InstallerMaintenanceCode(entry, code) ? InstallerRemoval(code) : entry.UninstallString;
}

bool InstallerProductCode(const InstalledEntry& entry, std::wstring& code)
{
    if (!entry.WindowsInstaller || !IsProductCode(entry.KeyName)) {
        return false;
    }
    code = entry.KeyName;
    return true;
}

bool QuietUninstallCommand(const InstalledEntry& entry, std::wstring& command, bool& expandable)
{
    if (!entry.QuietUninstallString.empty()) {
        command = entry.QuietUninstallString;
        expandable = entry.QuietUninstallStringExpandable;
        return true;
    }
    std::wstring code;
    if (!InstallerProductCode(entry, code)) {
        return false;
    }
    command = InstallerRemoval(code) + kInstallerQuietOptions;
    expandable = false;
    return true;
}
