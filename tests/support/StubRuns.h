#pragma once

#include "tests/support/ScratchFolder.h"

#include <string>
#include <vector>

// One run of stub_uninstaller.exe, as it recorded itself.
struct StubRun {
    std::wstring commandLine;
    std::wstring directory;
    std::wstring module;
    std::wstring handleState; // with --check-handle: "open" or "not open"

    // The word after "tag:" on the command line, which names the product that started it.
    std::wstring Tag() const;
};

// A fresh folder into which each run of stub_uninstaller.exe writes one
// record, removed again with its records at the end of its scope.
class StubRuns {
public:
    StubRuns();

    const std::wstring& Folder() const { return folder_.Path(); }
    // The runs recorded since the last call, in no particular order; each is reported once.
    std::vector<StubRun> Take();
    // Waits until at least count runs are recorded, then takes them all;
    // whatever has arrived when the time is up otherwise.
    std::vector<StubRun> TakeAtLeast(size_t count, unsigned timeoutMs = 10000);
    // The tags of TakeAtLeast.
    std::vector<std::wstring> TakeTags(size_t count, unsigned timeoutMs = 10000);

private:
    ScratchFolder folder_;
};

// The stub's path next to the test program.
std::wstring StubUninstallerPath();
