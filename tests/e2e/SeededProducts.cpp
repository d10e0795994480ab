#include "tests/e2e/SeededProducts.h"

#include "catalogue/RegKey.h"
#include "catalogue/UninstallScan.h"

#include <stdexcept>
#include <vector>

namespace {

constexpr const wchar_t* kKeyPrefix = L"FarrowgateE2E.";

HKEY Root(bool machine)
{
    return machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

std::wstring ProductPath(const std::wstring& keyName)
{
    return std::wstring(kUninstallKeyPath) + L"\\" + keyName;
}

RegKey CreateProductKey(bool machine, const std::wstring& keyName)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(Root(machine), ProductPath(keyName).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
            nullptr)
        != ERROR_SUCCESS) {
        throw std::runtime_error("cannot write the test prefix's Uninstall key");
    }
    return RegKey(key);
}

} // namespace

SeededProducts::SeededProducts(std::wstring uninstallerPath, std::wstring recordFolder)
    : uninstallerPath_(std::move(uninstallerPath)), recordFolder_(std::move(recordFolder))
{
    RemoveAll();
}

SeededProducts::~SeededProducts()
{
    RemoveAll();
}

void SeededProducts::RemoveAll()
{
    for (bool machine : {true, false}) {
        RegKey uninstall;
        if (!uninstall.Open(Root(machine), kUninstallKeyPath, KEY_READ)) {
            continue;
        }
        std::vector<std::wstring> ours;
        wchar_t name[260];
        for (DWORD index = 0;; ++index) {
            DWORD length = 260;
            if (RegEnumKeyExW(uninstall.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr)
                != ERROR_SUCCESS) {
                break;
            }
            if (std::wstring(name).rfind(kKeyPrefix, 0) == 0) {
                ours.push_back(name);
            }
        }
        for (const std::wstring& keyName : ours) {
            RegDeleteTreeW(Root(machine), ProductPath(keyName).c_str());
        }
    }
}

std::wstring SeededProducts::Add(bool machine, const std::wstring& displayName, const std::wstring& tag,
    OnUninstall onUninstall)
{
    const std::wstring keyName = kKeyPrefix + std::to_wstring(++count_);
    std::wstring command = L"\"" + uninstallerPath_ + L"\" tag:" + tag;
    if (onUninstall == OnUninstall::RemoveKey) {
        command += std::wstring(L" --remove ") + (machine ? L"HKLM " : L"HKCU ") + keyName;
    }
    command += L" \"" + recordFolder_ + L"\"";
    SetString(machine, keyName, L"DisplayName", displayName);
    SetString(machine, keyName, L"UninstallString", command);
    return keyName;
}

void SeededProducts::SetString(bool machine, const std::wstring& keyName, const wchar_t* value,
    const std::wstring& text)
{
    RegKey key = CreateProductKey(machine, keyName);
    RegSetValueExW(key.Get(), value, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void SeededProducts::SetDword(bool machine, const std::wstring& keyName, const wchar_t* value, DWORD number)
{
    RegKey key = CreateProductKey(machine, keyName);
    RegSetValueExW(key.Get(), value, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));
}

void SeededProducts::DeleteValue(bool machine, const std::wstring& keyName, const wchar_t* value)
{
    RegKey key = CreateProductKey(machine, keyName);
    RegDeleteValueW(key.Get(), value);
}
