#pragma once

#include "tests/support/TestFolders.h"

#include <string>
#include <vector>

// A fresh folder for the records of stub_uninstaller.exe (its last argument), and what they say.
class StubRuns {
public:
    const std::wstring& Folder() const { return folder_.Path(); }
    // A command line starting the stub with these arguments and recording here, written with references
    // (%FG_STUB%, %FG_RUNS%) to variables it sets in this process's environment, which the programs it starts
    // inherit. Stored as REG_EXPAND_SZ, it stays as short however deep the checkout lies.
    std::wstring ExpandableCommand(const std::wstring& arguments) const;
    // Waits (bounded) until at least count runs are recorded, then takes every run recorded since the last call, in
    // no particular order: its command line, after "inherited: " or "not inherited: " with --check-handle.
    std::vector<std::wstring> Take(size_t count = 0, unsigned timeoutMs = 10000);
    // The same, each run as the word after "tag:" on its command line (the product that started it), sorted.
    std::vector<std::wstring> TakeTags(size_t count = 0, unsigned timeoutMs = 10000);

private:
    ScratchFolder folder_{L"farrowgate-runs"};
};

inline std::wstring StubUninstallerPath()
{
    return ModuleDirectory() + L"\\stub_uninstaller.exe";
}
