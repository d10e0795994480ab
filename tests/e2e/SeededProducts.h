#pragma once

#include <windows.h>

#include <string>

// Products written into the real Uninstall keys of the test prefix, where the
// program under test reads them. Every key this class writes is named
// "FarrowgateE2E.<n>"; construction and destruction remove all such keys, so
// a test starts clean also after an earlier run was cut short.
//
// A product's uninstall command runs the stub uninstaller, which records the
// product's tag ("tag:NAME") and, when asked, removes its own key.
class SeededProducts {
public:
    SeededProducts(std::wstring uninstallerPath, std::wstring recordFolder);
    ~SeededProducts();
    SeededProducts(const SeededProducts&) = delete;
    SeededProducts& operator=(const SeededProducts&) = delete;

    enum class OnUninstall { KeepKey, RemoveKey };

    // Adds a product under HKEY_LOCAL_MACHINE (machine) or HKEY_CURRENT_USER;
    // the tag is one word that names it in the records. Returns its key name.
    std::wstring Add(bool machine, const std::wstring& displayName, const std::wstring& tag,
        OnUninstall onUninstall = OnUninstall::KeepKey);
    void SetDword(bool machine, const std::wstring& keyName, const wchar_t* value, DWORD number);
    void DeleteValue(bool machine, const std::wstring& keyName, const wchar_t* value);

private:
    static void RemoveAll();
    void SetString(bool machine, const std::wstring& keyName, const wchar_t* value, const std::wstring& text);

    std::wstring uninstallerPath_;
    std::wstring recordFolder_;
    int count_ = 0;
};
