#pragma once

#include <windows.h>

#include <string>

// Redirects HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER to two fresh scratch keys for its lifetime, so that nothing
// reads or changes the machine's own Uninstall keys; deletes them again at the end. A product is a subkey of a
// root's Uninstall key, created when first written to.
class ScratchRegistry {
public:
    ScratchRegistry();
    ~ScratchRegistry();
    ScratchRegistry(const ScratchRegistry&) = delete;
    ScratchRegistry& operator=(const ScratchRegistry&) = delete;

    // Creates only the key that a root's Uninstall key would be in.
    void CreateUninstallParent(bool machine);
    void DeleteProduct(bool machine, const std::wstring& keyName);
    // A REG_DWORD holds the number the text spells.
    void Write(bool machine, const std::wstring& keyName, const wchar_t* value, const std::wstring& text,
        DWORD type = REG_SZ);
    // DisplayName, and UninstallString of that type.
    void AddProduct(bool machine, const std::wstring& keyName, const std::wstring& displayName,
        const std::wstring& uninstall, DWORD type = REG_SZ);
    // Imports a registry file next to the test program with the system's reg.exe, its keys of
    // HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER written into the scratch roots instead.
    void Import(const std::wstring& fileName) const;
    // Where the two scratch roots are, for another process to use (UseScratchRegistry).
    const std::wstring& Path() const { return path_; }
    // Once overridden, the roots are the scratch ones.
    static HKEY Root(bool machine) { return machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER; }

private:
    std::wstring path_;
};

// Redirects this process's HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER, for the rest of its life, to the scratch
// roots that another process's ScratchRegistry made at path (its Path()).
void UseScratchRegistry(const std::wstring& path);
