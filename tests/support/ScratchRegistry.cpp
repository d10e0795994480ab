#include "tests/support/ScratchRegistry.h"

#include "catalogue/RegKey.h"
#include "catalogue/UninstallScan.h"
#include "tests/support/TestFolders.h"

#include <filesystem>
#include <fstream>
#include <regex>
#include <stdexcept>

namespace {

constexpr const wchar_t* kScratchParent = L"Software\\FarrowgateTests";

void Check(DWORD status)
{
    if (status != ERROR_SUCCESS) {
        throw std::runtime_error("the scratch registry could not be set up");
    }
}

RegKey CreateKey(HKEY root, const std::wstring& path)
{
    HKEY key = nullptr;
    Check(RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    return RegKey(key);
}

} // namespace

ScratchRegistry::ScratchRegistry()
{
    static unsigned counter = 0;
    path_ = kScratchParent + (L"\\" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter));
    UseScratchRegistry(path_);
}

ScratchRegistry::~ScratchRegistry()
{
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, kScratchParent); // only succeeds once empty
}

void ScratchRegistry::CreateUninstallParent(bool machine)
{
    CreateKey(Root(machine), std::filesystem::path(kUninstallKeyPath).parent_path());
}

void ScratchRegistry::DeleteProduct(bool machine, const std::wstring& keyName)
{
    RegDeleteTreeW(Root(machine), (kUninstallKeyPath + (L"\\" + keyName)).c_str());
}

void ScratchRegistry::Write(bool machine, const std::wstring& keyName, const wchar_t* value, const std::wstring& text,
    DWORD type)
{
    const bool number = type == REG_DWORD;
    const DWORD spelt = number ? std::stoul(text) : 0;
    // The product's key is created with its first value.
    Check(RegSetKeyValueW(Root(machine), (kUninstallKeyPath + (L"\\" + keyName)).c_str(), value, type,
        number ? static_cast<const void*>(&spelt) : text.c_str(),
        static_cast<DWORD>(number ? sizeof spelt : (text.size() + 1) * sizeof(wchar_t))));
}

void ScratchRegistry::AddProduct(bool machine, const std::wstring& keyName, const std::wstring& displayName,
    const std::wstring& uninstall, DWORD type)
{
    Write(machine, keyName, L"DisplayName", displayName);
    Write(machine, keyName, L"UninstallString", uninstall, type);
}

void ScratchRegistry::Import(const std::wstring& fileName) const
{
    // reg.exe, another process, sees the real roots: the file's keys are moved under the scratch ones.
    const std::string bytes = ReadModuleFile(fileName);
    const std::wstring text =
        std::regex_replace(std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t)),
            std::wregex(LR"(\[HKEY_(LOCAL_MACHINE|CURRENT_USER)\\)"), L"[HKEY_CURRENT_USER\\" + path_ + L"\\$1\\");
    const ScratchFolder folder(L"fg-import");
    std::ofstream(std::filesystem::path(folder / fileName), std::ios::binary)
        .write(reinterpret_cast<const char*>(text.data()), static_cast<std::streamsize>(text.size() * sizeof(wchar_t)));
    Check(RunProgram(L"reg.exe import \"" + (folder / fileName) + L"\"").first);
}

void UseScratchRegistry(const std::wstring& path)
{
    // The overrides keep references of their own to the keys. The user's scratch key is made before its root moves.
    for (const bool machine : {true, false}) {
        const RegKey key = CreateKey(HKEY_CURRENT_USER, path + (machine ? L"\\LOCAL_MACHINE" : L"\\CURRENT_USER"));
        Check(RegOverridePredefKey(ScratchRegistry::Root(machine), key.Get()));
    }
}
