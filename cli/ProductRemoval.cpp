#include "cli/ProductRemoval.h"

#include "base/ScopedHandle.h"
#include "catalogue/ProductMatch.h"
#include "catalogue/UninstallCommand.h"
#include "catalogue/UninstallerLaunch.h"
#include "cli/ExitCodes.h"

#include <algorithm>
#include <cwchar>
#include <string>

namespace {

constexpr const wchar_t* kWouldStart = L"would start ";
constexpr const wchar_t* kNoQuietUninstall = L"no quiet uninstall; not started";
constexpr const wchar_t* kAlreadyRemoved = L"already removed; not started";
constexpr const wchar_t* kCouldNotStart = L"could not start ";
constexpr const wchar_t* kDeclined = L"not started, the consent prompt was declined: ";
constexpr const wchar_t* kTimedOut = L"timed out after %u s; its uninstaller keeps running";
constexpr const wchar_t* kStillPresent = L"still present (uninstaller exit code %lu)";
constexpr const wchar_t* kRemoved = L"removed (uninstaller exit code %lu)";
constexpr const wchar_t* kRemovedRestart = L"removed, restart required (uninstaller exit code %lu)";
constexpr DWORD kMillisecondsPerSecond = 1000;
constexpr size_t kReportCapacity = 128; // a formatted report, terminator included

// What became of one product, from best to worst: the worst gives the exit code.
enum class Outcome { Removed, RemovedRestartRequired, NoQuietUninstall, StillPresent, TimedOut, NotStarted };

int ExitCode(Outcome outcome)
{
    constexpr int kCodes[] = {kExitDone, kExitRestartRequired, kExitNoQuietUninstall, kExitStillPresent, kExitTimedOut,
        kExitNotStarted};
    return kCodes[static_cast<int>(outcome)];
}

template <typename Number>
std::wstring Format(const wchar_t* format, Number number)
{
    wchar_t text[kReportCapacity];
    swprintf(text, kReportCapacity, format, number);
    return text;
}

// An uninstaller's way of saying that the removal ends at the next restart.
bool AsksForRestart(DWORD exitCode)
{
    return exitCode == ERROR_SUCCESS_REBOOT_REQUIRED || exitCode == ERROR_SUCCESS_REBOOT_INITIATED;
}

// Whether a fresh scan still lists the entry's registration: its key in its place.
bool StillListed(const InstalledEntry& entry)
{
    InstalledEntryList fresh;
    CollectTargetRegistrations(fresh);
    return std::any_of(fresh.begin(), fresh.end(), [&entry](const InstalledEntry& listed) {
        return listed.FromMachine == entry.FromMachine && listed.From64BitView == entry.From64BitView
            && listed.KeyName == entry.KeyName;
    });
}

// The command removing the entry starts, and whether it is stored expandable.
bool ChooseCommand(const InstalledEntry& entry, bool quiet, std::wstring& command, bool& expandable)
{
    if (quiet) {
        return QuietUninstallCommand(entry, command, expandable);
    }
    command = UninstallCommand(entry);
    expandable = entry.UninstallStringExpandable;
    return true;
}

Outcome Remove(const InstalledEntry& entry, const RemovalOptions& options, std::wstring& report)
{
    std::wstring command;
    bool expandable = false;
    if (!ChooseCommand(entry, options.quiet, command, expandable)) {
        report = kNoQuietUninstall;
        return Outcome::NoQuietUninstall;
    }
    if (options.dryRun) {
        report = kWouldStart + command;
        return Outcome::Removed;
    }
    // An uninstaller may remove its product's other registrations too.
    if (!StillListed(entry)) {
        report = kAlreadyRemoved;
        return Outcome::Removed;
    }
    ScopedKernelHandle process;
    const LaunchResult started = StartUninstaller(command, expandable, process);
    if (started != LaunchResult::Started) {
        report = (started == LaunchResult::Declined ? kDeclined : kCouldNotStart) + command;
        return Outcome::NotStarted;
    }
    // The shell may start a program without giving its process: that one counts as ended.
    if (process
        && WaitForSingleObject(process.Get(), options.timeoutSeconds * kMillisecondsPerSecond) == WAIT_TIMEOUT) {
        report = Format(kTimedOut, options.timeoutSeconds);
        return Outcome::TimedOut;
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(process.Get(), &exitCode);
    if (StillListed(entry)) {
        report = Format(kStillPresent, exitCode);
        return Outcome::StillPresent;
    }
    const bool restart = AsksForRestart(exitCode);
    report = Format(restart ? kRemovedRestart : kRemoved, exitCode);
    return restart ? Outcome::RemovedRestartRequired : Outcome::Removed;
}

} // namespace

int RemoveProducts(const InstalledEntryList& products, const RemovalOptions& options, const ConsoleText& out)
{
    Outcome worst = Outcome::Removed;
    for (const InstalledEntry& entry : products) {
        std::wstring report;
        worst = std::max(worst, Remove(entry, options, report));
        out.WriteLine(entry.DisplayName + L": " + report);
    }
    return ExitCode(worst);
}
