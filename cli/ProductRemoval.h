#pragma once

#include "catalogue/InstalledEntry.h"
#include "catalogue/UninstallerLaunch.h"
#include "cli/ConsoleText.h"

// How long each uninstaller is waited for unless told otherwise, and the
// longest wait that may be asked for.
constexpr unsigned kDefaultTimeoutSeconds = 600;
constexpr unsigned kMaxTimeoutSeconds = 86400;

struct RemovalOptions {
    bool quiet = false;  // the quiet command only; a product without one is not started
    bool dryRun = false; // tells what would start and starts nothing
    unsigned timeoutSeconds = kDefaultTimeoutSeconds;
};

// Removes the products one after the other, as "卸载" does, but waits, within
// the timeout, for each uninstaller and every process it starts to end and
// then for its registration to leave the registry. An uninstaller still
// running at the timeout is left running, and nothing more is started. A
// product registered twice is two products here, each started in turn unless
// the first one's uninstaller took both. Writes one line a product to out and
// returns the exit code of the worst outcome. Tests replace starter; the
// program uses the platform's.
int RemoveProducts(const InstalledEntryList& products, const RemovalOptions& options, const ConsoleText& out,
    const ProcessStarter& starter = PlatformProcessStarter());
