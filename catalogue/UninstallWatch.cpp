#include "catalogue/UninstallWatch.h"

#include "catalogue/UninstallLocations.h"

#include <algorithm>
#include <string>

bool UninstallWatch::ScanNeeded() const
{
    return !complete_ || std::any_of(watches_.begin(), watches_.end(), [](const Watch& watch) {
        return WaitForSingleObject(watch.changed.Get(), 0) == WAIT_OBJECT_0;
    });
}

void UninstallWatch::Arm()
{
    // Closing the keys ends their notifications; new ones start from now.
    watches_.clear();
    complete_ = true;
    for (const UninstallLocation& location : UninstallLocations()) {
        complete_ = WatchUninstallKey(location.root, location.view) && complete_;
    }
}

bool UninstallWatch::WatchUninstallKey(HKEY root, REGSAM view)
{
    Watch watch;
    watch.changed.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!watch.changed) {
        return false;
    }
    // A product key added, removed or renamed, or any of its values written.
    BOOL subtree = TRUE;
    DWORD filter = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET;
    if (!watch.key.Open(root, kUninstallKeyPath, KEY_NOTIFY | view)) {
        const std::wstring path = kUninstallKeyPath;
        const std::wstring parent = path.substr(0, path.rfind(L'\\'));
        if (!watch.key.Open(root, parent.c_str(), KEY_NOTIFY | view)) {
            return false;
        }
        subtree = FALSE;
        filter = REG_NOTIFY_CHANGE_NAME;
    }
    if (RegNotifyChangeKeyValue(watch.key.Get(), subtree, filter, watch.changed.Get(), TRUE) != ERROR_SUCCESS) {
        return false;
    }
    watches_.push_back(std::move(watch));
    return true;
}
