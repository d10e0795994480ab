#pragma once

#include "catalogue/RegKey.h"

#include <string>

// Redirects HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER to two fresh scratch
// keys for its lifetime, so that nothing reads or changes the machine's own
// Uninstall keys. The scratch keys are deleted again on destruction.
class ScratchRegistry {
public:
    ScratchRegistry();
    ~ScratchRegistry();
    ScratchRegistry(const ScratchRegistry&) = delete;
    ScratchRegistry& operator=(const ScratchRegistry&) = delete;

    // Creates (or opens) the named subkey of a root's Uninstall key.
    HKEY Product(bool machine, const std::wstring& keyName);
    // Creates the Uninstall key of a root without any subkey.
    void CreateUninstallKey(bool machine);
    // Creates only the key the Uninstall key of a root would be in.
    void CreateUninstallParent(bool machine);
    // Removes one product's subkey again.
    void DeleteProduct(bool machine, const std::wstring& keyName);

    void WriteString(bool machine, const std::wstring& keyName, const wchar_t* value, const std::wstring& text,
        DWORD type = REG_SZ);
    void WriteDword(bool machine, const std::wstring& keyName, const wchar_t* value, DWORD number);
    void WriteBinary(bool machine, const std::wstring& keyName, const wchar_t* value, const void* data, DWORD size,
        DWORD type = REG_BINARY);

    // A typical product: DisplayName and UninstallString, optionally DisplayIcon.
    void AddProduct(bool machine, const std::wstring& keyName, const std::wstring& displayName,
        const std::wstring& uninstall, const std::wstring& icon = L"");

private:
    HKEY RootKey(bool machine) const { return machine ? machine_.Get() : user_.Get(); }

    std::wstring scratchPath_;
    RegKey machine_;
    RegKey user_;
    RegKey product_; // the last product key handed out
};
