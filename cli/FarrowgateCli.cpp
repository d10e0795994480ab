#include "cli/FarrowgateCli.h"

#include "catalogue/ProductMatch.h"
#include "catalogue/UninstallScan.h"
#include "cli/ConsoleText.h"
#include "cli/ExitCodes.h"
#include "cli/ProductListing.h"
#include "cli/ProductRemoval.h"

#include <algorithm>
#include <cwchar>

namespace {

constexpr const wchar_t* kUsage =
    L"Usage:\r\n"
    L"  farrowgate-cli list [--json] [--include-user]\r\n"
    L"  farrowgate-cli uninstall (--all | NAME...) [--quiet] [--timeout SECONDS] [--dry-run] [--include-user]\r\n"
    L"  farrowgate-cli --help\r\n"
    L"\r\n"
    L"The installed Velmo and Quellmar products, as farrowgate.exe lists them.\r\n"
    L"\r\n"
    L"list                 one row a product: name, registry (HKLM 32-bit, HKLM 64-bit, HKCU),\r\n"
    L"                     key, Windows Installer and product code, uninstall command and\r\n"
    L"                     quiet uninstall command\r\n"
    L"  --json             one JSON document instead (UTF-8 when redirected)\r\n"
    L"uninstall            starts each chosen product's uninstaller in turn, waits for it and\r\n"
    L"                     every program it starts to end, then for the product to leave the\r\n"
    L"                     registry; one line a product\r\n"
    L"  --all              every listed product\r\n"
    L"  NAME               the product of that display name, letter case ignored\r\n"
    L"  --quiet            the key's QuietUninstallString, or for a Windows Installer product\r\n"
    L"                     the system folder's msiexec.exe /X{code} /qn /norestart; any other\r\n"
    L"                     is not started\r\n"
    L"  --timeout SECONDS  how long to wait for each product, 1 to 86400 (default 600); an\r\n"
    L"                     uninstaller still running then is left running, and no other starts\r\n"
    L"  --dry-run          tells what would be started and starts nothing\r\n"
    L"list and uninstall\r\n"
    L"  --include-user     takes in the per-user (HKCU) products, which are left out when run\r\n"
    L"                     elevated: any program of the user may write their commands\r\n"
    L"\r\n"
    L"Exit codes:\r\n"
    L"  0     done: every chosen product removed, or nothing to do\r\n"
    L"  3010  every chosen product removed; an uninstaller asked for a restart (3010, 1641)\r\n"
    L"  87    bad arguments or an unknown option\r\n"
    L"  1605  a NAME matches no installed product; nothing is started\r\n"
    L"  50    --quiet: a product has no quiet uninstall and was not started\r\n"
    L"  1603  a product is still present after its uninstaller ended\r\n"
    L"  1460  an uninstaller was still running at the timeout; the rest were not started\r\n"
    L"  1223  the consent prompt of an uninstaller was declined\r\n"
    L"  2     an uninstaller could not be started\r\n"
    L"When products end differently, the first of 2, 1223, 1460, 1603, 50, 3010 that applies\r\n"
    L"wins.\r\n"
    L"\r\n"
    L"Redirected, the output is UTF-8 without a byte order mark. Windows PowerShell 5.1 reads\r\n"
    L"it in the console's code page unless told first:\r\n"
    L"  [Console]::OutputEncoding = [System.Text.Encoding]::UTF8\r\n";
constexpr const wchar_t* kIncludeUser = L"--include-user";
constexpr const wchar_t* kErrorPrefix = L"farrowgate-cli: ";
constexpr const wchar_t* kNoCommand = L"no command given";
constexpr const wchar_t* kUnknownCommand = L"unknown command ";
constexpr const wchar_t* kUnknownOption = L"unknown option ";
constexpr const wchar_t* kBadTimeout = L"--timeout takes a number of seconds from 1 to 86400";
constexpr const wchar_t* kAllOrNames = L"uninstall takes either --all or NAMEs";
constexpr const wchar_t* kUnknownProduct = L"no installed product is named ";
constexpr const wchar_t* kNothingToDo = L"No Velmo or Quellmar product is installed.";

enum class Command { Help, List, Uninstall };

struct Invocation {
    Command command = Command::Help;
    bool json = false;
    bool includeUser = false;
    bool all = false;
    std::vector<std::wstring> names;
    RemovalOptions removal;
};

bool ParseSeconds(const std::wstring& text, unsigned& seconds)
{
    constexpr size_t kMaxDigits = 5;
    // ASCII digits only: those are what wcstoul reads.
    const auto digit = [](wchar_t c) { return c >= L'0' && c <= L'9'; };
    if (text.empty() || text.size() > kMaxDigits || !std::all_of(text.begin(), text.end(), digit)) {
        return false;
    }
    const auto value = static_cast<unsigned>(wcstoul(text.c_str(), nullptr, 10));
    if (value < 1 || value > kMaxTimeoutSeconds) {
        return false;
    }
    seconds = value;
    return true;
}

bool ParseList(const std::vector<std::wstring>& args, Invocation& invocation, std::wstring& error)
{
    invocation.command = Command::List;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] != L"--json") {
            error = kUnknownOption + args[i];
            return false;
        }
        invocation.json = true;
    }
    return true;
}

bool ParseUninstall(const std::vector<std::wstring>& args, Invocation& invocation, std::wstring& error)
{
    invocation.command = Command::Uninstall;
    RemovalOptions& removal = invocation.removal;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        if (arg == L"--all" || arg == L"--quiet" || arg == L"--dry-run") {
            (arg == L"--all" ? invocation.all : arg == L"--quiet" ? removal.quiet : removal.dryRun) = true;
        } else if (arg == L"--timeout") {
            if (++i == args.size() || !ParseSeconds(args[i], removal.timeoutSeconds)) {
                error = kBadTimeout;
                return false;
            }
        } else if (arg[0] == L'-') { // the family's names begin with a letter
            error = kUnknownOption + arg;
            return false;
        } else {
            invocation.names.push_back(arg);
        }
    }
    if (invocation.all == !invocation.names.empty()) {
        error = kAllOrNames;
        return false;
    }
    return true;
}

bool Parse(std::vector<std::wstring> args, Invocation& invocation, std::wstring& error)
{
    // An option of both commands, taken out before either reads its own.
    const auto includeUser = std::remove(args.begin(), args.end(), kIncludeUser);
    invocation.includeUser = includeUser != args.end();
    args.erase(includeUser, args.end());
    if (std::find(args.begin(), args.end(), L"--help") != args.end()) {
        invocation.command = Command::Help;
        return true;
    }
    if (args.empty()) {
        error = kNoCommand;
        return false;
    }
    if (args[0] == L"list") {
        return ParseList(args, invocation, error);
    }
    if (args[0] == L"uninstall") {
        return ParseUninstall(args, invocation, error);
    }
    error = kUnknownCommand + args[0];
    return false;
}

// As the window tells duplicates apart: a name matches every registration of its product.
bool NameMatches(const InstalledEntry& entry, const std::wstring& name)
{
    return SameDisplayName(entry.DisplayName, name);
}

// Keeps the products one of names matches, in list order; a name that
// matches none is an error naming it, and then nothing is kept.
bool Choose(InstalledEntryList& products, const std::vector<std::wstring>& names, const ConsoleText& errors)
{
    bool allFound = true;
    for (const std::wstring& name : names) {
        if (std::none_of(products.begin(), products.end(),
                [&](const InstalledEntry& e) { return NameMatches(e, name); })) {
            errors.WriteLine(kErrorPrefix + (kUnknownProduct + name));
            allFound = false;
        }
    }
    products.remove_if([&names](const InstalledEntry& entry) {
        return std::none_of(names.begin(), names.end(),
            [&entry](const std::wstring& n) { return NameMatches(entry, n); });
    });
    return allFound;
}

int Uninstall(InstalledEntryList& products, const Invocation& invocation, const ConsoleText& out,
    const ConsoleText& errors)
{
    if (!invocation.all && !Choose(products, invocation.names, errors)) {
        return kExitUnknownProduct;
    }
    if (products.empty()) {
        out.WriteLine(kNothingToDo);
    }
    return RemoveProducts(products, invocation.removal, out);
}

} // namespace

int RunFarrowgateCli(const std::vector<std::wstring>& args, bool elevated)
{
    const ConsoleText out(STD_OUTPUT_HANDLE);
    const ConsoleText errors(STD_ERROR_HANDLE);
    Invocation invocation;
    std::wstring error;
    if (!Parse(args, invocation, error)) {
        errors.WriteLine(kErrorPrefix + error);
        errors.Write(kUsage);
        return kExitBadArguments;
    }
    if (invocation.command == Command::Help) {
        out.Write(kUsage);
        return kExitDone;
    }
    InstalledEntryList products;
    // The window's list, where a name is one product; a removal takes each of its registrations.
    (invocation.command == Command::Uninstall ? CollectTargetRegistrations : CollectTargetProducts)(products);
    if (elevated && !invocation.includeUser) {
        products.remove_if([](const InstalledEntry& entry) { return !entry.FromMachine; });
    }
    if (invocation.command == Command::Uninstall) {
        return Uninstall(products, invocation, out, errors);
    }
    (invocation.json ? PrintProductJson : PrintProductTable)(products, out);
    return kExitDone;
}
