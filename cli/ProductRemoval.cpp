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
constexpr const wchar_t* kAfterTimeout = L"not started; an uninstaller before it is still running";
constexpr const wchar_t* kStillPresent = L"still present (uninstaller exit code %lu)";
constexpr const wchar_t* kRemoved = L"removed (uninstaller exit code %lu)";
constexpr const wchar_t* kRemovedRestart = L"removed, restart required (uninstaller exit code %lu)";
constexpr DWORD kMillisecondsPerSecond = 1000;
constexpr ULONGLONG kPollMilliseconds = 250; // how often the job and the registry are looked at
constexpr size_t kReportCapacity = 128;      // a formatted report, terminator included

// What became of one product, from best to worst: the worst gives the exit code.
enum class Outcome { Removed, RemovedRestartRequired, NoQuietUninstall, StillPresent, TimedOut, Declined, NotStarted };

int ExitCode(Outcome outcome)
{
    constexpr int kCodes[] = {kExitDone, kExitRestartRequired, kExitNoQuietUninstall, kExitStillPresent, kExitTimedOut,
        kExitDeclined, kExitNotStarted};
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

// Looks whether done holds until it does (true) or the deadline, in GetTickCount64's time, passes (false).
template <typename Done>
bool PollUntil(ULONGLONG deadline, Done done)
{
    for (;;) {
        if (done()) {
            return true;
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) {
            return false;
        }
        Sleep(static_cast<DWORD>(std::min(kPollMilliseconds, deadline - now)));
    }
}

bool JobEmpty(HANDLE job)
{
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting = {};
    return QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &accounting, sizeof accounting, nullptr)
        && accounting.ActiveProcesses == 0;
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

Outcome Remove(const InstalledEntry& entry, const RemovalOptions& options, const ProcessStarter& starter,
    std::wstring& report)
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
    // Uninstallers hand over to copies of themselves and to other programs: the job holds everything the one
    // started starts, and is waited for until none is left. No kill on closing it: one left running keeps running.
    const ScopedKernelHandle job(CreateJobObjectW(nullptr, nullptr));
    ScopedKernelHandle process;
    const ULONGLONG deadline = GetTickCount64() + ULONGLONG{options.timeoutSeconds} * kMillisecondsPerSecond;
    const LaunchResult started =
        StartUninstaller(command, expandable, entry.From64BitView, process, starter, job.Get());
    if (started != LaunchResult::Started) {
        const bool declined = started == LaunchResult::Declined;
        report = (declined ? kDeclined : kCouldNotStart) + command;
        return declined ? Outcome::Declined : Outcome::NotStarted;
    }
    BOOL inJob = FALSE;
    if (job && process) {
        IsProcessInJob(process.Get(), job.Get(), &inJob);
    }
    // Outside the job, the process alone is waited for; the shell may start a program without giving its process,
    // and that one counts as ended.
    const auto ended = [&] {
        return inJob ? JobEmpty(job.Get()) : !process || WaitForSingleObject(process.Get(), 0) != WAIT_TIMEOUT;
    };
    if (!PollUntil(deadline, ended)) {
        report = Format(kTimedOut, options.timeoutSeconds);
        return Outcome::TimedOut;
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(process.Get(), &exitCode);
    // The registry may be written after the last process ended.
    if (!PollUntil(deadline, [&entry] { return !StillListed(entry); })) {
        report = Format(kStillPresent, exitCode);
        return Outcome::StillPresent;
    }
    const bool restart = AsksForRestart(exitCode);
    report = Format(restart ? kRemovedRestart : kRemoved, exitCode);
    return restart ? Outcome::RemovedRestartRequired : Outcome::Removed;
}

} // namespace

int RemoveProducts(const InstalledEntryList& products, const RemovalOptions& options, const ConsoleText& out,
    const ProcessStarter& starter)
{
    Outcome worst = Outcome::Removed;
    bool timedOut = false;
    for (const InstalledEntry& entry : products) {
        // One still running would collide with the next (a Windows Installer one fails while another runs).
        std::wstring report = kAfterTimeout;
        const Outcome outcome = timedOut ? Outcome::TimedOut : Remove(entry, options, starter, report);
        timedOut = outcome == Outcome::TimedOut;
        worst = std::max(worst, outcome);
        out.WriteLine(entry.DisplayName + L": " + report);
    }
    return ExitCode(worst);
}
