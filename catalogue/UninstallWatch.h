#pragma once

#include "base/ScopedHandle.h"
#include "catalogue/RegKey.h"

#include <vector>

// Tells whether a scan could find anything new, through the registry's change
// notifications on every Uninstall key the scan reads (every uninstall
// location). A key that does not exist yet is watched
// through its parent, so that its creation is seen.
class UninstallWatch {
public:
    UninstallWatch() = default;
    UninstallWatch(const UninstallWatch&) = delete;
    UninstallWatch& operator=(const UninstallWatch&) = delete;

    // True when a watched key changed since the last Arm, and also when a key
    // could not be watched or nothing is armed yet.
    bool ScanNeeded() const;
    // Sets every watch up afresh. Called just before a scan, so that a change
    // made while the scan runs is seen the next time.
    void Arm();

private:
    struct Watch {
        RegKey key;
        ScopedKernelHandle changed;
    };

    bool WatchUninstallKey(HKEY root, REGSAM view);

    std::vector<Watch> watches_;
    bool complete_ = false; // every key the scan reads is watched
};
