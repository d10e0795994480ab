#pragma once

#include <string>
#include <vector>

// A fresh folder into which each run of e2e_uninstaller.exe writes one record
// naming the product whose uninstall command started it. Removed again, with
// its records, on destruction.
class UninstallRecords {
public:
    UninstallRecords();
    ~UninstallRecords();
    UninstallRecords(const UninstallRecords&) = delete;
    UninstallRecords& operator=(const UninstallRecords&) = delete;

    const std::wstring& Folder() const { return folder_; }
    // The tags of the records written since the last call, in no particular
    // order; each record is reported once.
    std::vector<std::wstring> Take();
    // Waits until at least count records are waiting, then takes them all;
    // whatever has arrived when the time is up otherwise.
    std::vector<std::wstring> TakeAtLeast(size_t count, unsigned timeoutMs);

private:
    std::wstring folder_;
};
