#include "tests/support/ScratchRegistry.h"

#include "catalogue/UninstallScan.h"
#include "tests/support/TestFolders.h"

#include <filesystem>
#include <fstream>
#include <regex>
#include <stdexcept>

namespace {

constexpr const wchar_t* kScratchParent = L"Software\\FarrowgateTests";

RegKey CreateKey(HKEY root, const std::wstring& path)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot create a scratch registry key");
    }
    return RegKey(key);
}

std::wstring ProductPath(const std::wstring& keyName)
{
    return std::wstring(kUninstallKeyPath) + L"\\" + keyName;
}

} // namespace

ScratchRegistry::ScratchRegistry()
{
    static unsigned counter = 0;
    path_ = std::wstring(kScratchParent) + L"\\" + std::to_wstring(GetCurrentProcessId()) + L"-"
        + std::to_wstring(++counter);
    machine_ = CreateKey(HKEY_CURRENT_USER, path_ + L"\\machine");
    user_ = CreateKey(HKEY_CURRENT_USER, path_ + L"\\user");
    if (RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine_.Get()) != ERROR_SUCCESS
        || RegOverridePredefKey(HKEY_CURRENT_USER, user_.Get()) != ERROR_SUCCESS) {
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        throw std::runtime_error("RegOverridePredefKey failed");
    }
}

ScratchRegistry::~ScratchRegistry()
{
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    machine_.Reset();
    user_.Reset();
    RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, kScratchParent); // only succeeds once empty
}

void ScratchRegistry::CreateUninstallParent(bool machine)
{
    const std::wstring path = kUninstallKeyPath;
    CreateKey(Root(machine), path.substr(0, path.rfind(L'\\')));
}

void ScratchRegistry::DeleteProduct(bool machine, const std::wstring& keyName)
{
    RegDeleteTreeW(Root(machine), ProductPath(keyName).c_str());
}

void ScratchRegistry::Write(bool machine, const std::wstring& keyName, const wchar_t* value, const std::wstring& text,
    DWORD type)
{
    const bool number = type == REG_DWORD;
    const DWORD spelt = number ? std::stoul(text) : 0;
    // The product's key is created with its first value.
    if (RegSetKeyValueW(Root(machine), ProductPath(keyName).c_str(), value, type,
            number ? static_cast<const void*>(&spelt) : text.c_str(),
            static_cast<DWORD>(number ? sizeof spelt : (text.size() + 1) * sizeof(wchar_t)))
        != ERROR_SUCCESS) {
        throw std::runtime_error("cannot write a scratch registry value");
    }
}

void ScratchRegistry::AddProduct(bool machine, const std::wstring& keyName, const std::wstring& displayName,
    const std::wstring& uninstall)
{
    Write(machine, keyName, L"DisplayName", displayName);
    Write(machine, keyName, L"UninstallString", uninstall);
}

void ScratchRegistry::Import(const std::wstring& fileName) const
{
    const std::string bytes = ReadModuleFile(fileName);
    std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    const std::wstring scratch = L"[HKEY_CURRENT_USER\\" + path_;
    text = std::regex_replace(text, std::wregex(LR"(\[HKEY_CURRENT_USER\\)"), scratch + L"\\user\\");
    text = std::regex_replace(text, std::wregex(LR"(\[HKEY_LOCAL_MACHINE\\)"), scratch + L"\\machine\\");
    const ScratchFolder folder(L"fg-import");
    std::ofstream(std::filesystem::path(folder / fileName), std::ios::binary)
        .write(reinterpret_cast<const char*>(text.data()), static_cast<std::streamsize>(text.size() * sizeof(wchar_t)));
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    if (RunProgram(L"\"" + std::wstring(system) + L"\\reg.exe\" import \"" + (folder / fileName) + L"\"").exitCode
        != 0) {
        throw std::runtime_error("reg.exe could not import a registry file");
    }
}

void UseScratchRegistry(const std::wstring& path)
{
    // The overrides keep references of their own to the keys.
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, CreateKey(HKEY_CURRENT_USER, path + L"\\machine").Get());
    RegOverridePredefKey(HKEY_CURRENT_USER, CreateKey(HKEY_CURRENT_USER, path + L"\\user").Get());
}
