// farrowgate-cli as deployment engines run it: its own process, its output redirected, its exit code read. The
// registry's redirection to scratch keys holds for one process, and the products must come from the test's scratch
// keys alone (the prefix's own are shared with other tests), so for them this program, started with kAsCli and a
// scratch registry's path, stands in for farrowgate-cli.exe and runs the code its wmain runs. The real
// farrowgate-cli.exe answers its usage and its arguments, which read no registry.
#include "catalogue/ProductMatch.h"
#include "catalogue/UninstallerLaunch.h"
#include "cli/FarrowgateCli.h"
#include "cli/ProductRemoval.h"
#include "tests/support/FakeStarts.h"
#include "tests/support/RegistryRuleProducts.h"
#include "tests/support/ScratchRegistry.h"
#include "tests/support/StubRuns.h"
#include "tests/support/TestFolders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>

namespace {

using Texts = std::vector<std::wstring>;
constexpr const wchar_t* kAsCli = L"--as-farrowgate-cli";
constexpr const wchar_t* kAsElevatedCli = L"--as-elevated-farrowgate-cli"; // the same, told it runs elevated

struct Outcome {
    DWORD exitCode = 0;
    Texts lines; // standard output and error together
};

// Runs commandLine to its end with its output into a file: not a pipe, which under Wine stays open as long as any
// program it starts runs (an uninstaller left running at the timeout).
Outcome RunProgram(const std::wstring& commandLine)
{
    wchar_t folder[MAX_PATH], path[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"fgc", 0, path);
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    const ScopedKernelHandle file(CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
        &inheritable, CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = file.Get();
    PROCESS_INFORMATION child = {};
    CreateProcessW(nullptr, std::wstring(commandLine).data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
        &child);
    const ScopedKernelHandle process(child.hProcess), thread(child.hThread);
    WaitForSingleObject(process.Get(), INFINITE);
    Outcome run = {ERROR_PROCESS_ABORTED, {}};
    GetExitCodeProcess(process.Get(), &run.exitCode);
    std::string bytes(GetFileSize(file.Get(), nullptr), '\0');
    DWORD got = 0;
    SetFilePointer(file.Get(), 0, nullptr, FILE_BEGIN);
    ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    // Read as UTF-8, one text a line.
    std::wstring text(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), got, nullptr, 0), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), got, text.data(), static_cast<int>(text.size()));
    const std::wregex lineEnd(L"\r\n");
    run.lines = got == 0 || !text.empty()
        ? Texts(std::wsregex_token_iterator(text.begin(), text.end(), lineEnd, -1), {})
        : Texts{L"(not UTF-8)"};
    return run;
}

Outcome RunCli(const ScratchRegistry& registry, const std::wstring& arguments, bool elevated = false)
{
    return RunProgram(L"\"" + ModuleDirectory() + L"\\cli_tests.exe\" " + (elevated ? kAsElevatedCli : kAsCli) + L" "
        + registry.Path() + L" " + arguments);
}

const std::wstring kCode = L"{6A1C0B2E-3D4F-4A5B-8C9D-0E1F2A3B4C5D}";
const std::wstring kRemoval = L"\"" + SystemFolder(false) + L"\\msiexec.exe\" /X" + kCode; // by its full path

// A product whose uninstaller is the stub recording into runs' folder, stored expandable.
void AddStubProduct(ScratchRegistry& registry, bool machine, const std::wstring& key, const std::wstring& name,
    const std::wstring& arguments, const StubRuns& runs)
{
    registry.AddProduct(machine, key, name, L"x");
    registry.Write(machine, key, L"UninstallString", runs.ExpandableCommand(arguments), REG_EXPAND_SZ);
}
const std::wstring kQuiet = L"\"%FG_STUB%\" tag:quiet \"%FG_RUNS%\"";
const std::wstring kOddName = L"Velmo Zh 中文 \"q\" C:\\d \x01 \xD800 \xD83D\xDE00";
const std::wstring kOddNameShown = L"Velmo Zh 中文 \"q\" C:\\d \x01 \xFFFD \xD83D\xDE00"; // its lone surrogate replaced

// The scan's rule products and three more: a Windows Installer product, one with a quiet command, and one whose
// name JSON has to escape.
void AddListedProducts(ScratchRegistry& registry)
{
    WriteRegistryRuleProducts(registry);
    registry.AddProduct(true, kCode, L"Velmo Installer", L"MsiExec.exe /I" + kCode);
    registry.Write(true, kCode, L"WindowsInstaller", L"1", REG_DWORD);
    registry.AddProduct(false, L"quiet", L"Quellmar Quiet", L"u.exe");
    registry.Write(false, L"quiet", L"QuietUninstallString", kQuiet, REG_EXPAND_SZ);
    registry.AddProduct(false, L"odd", kOddName, L"o.exe");
}

TEST(FarrowgateCli, ListsTheWindowsProductsAsATableOrOneJsonDocumentAndTellsWhatARemovalWouldStart)
{
    ScratchRegistry registry;
    AddListedProducts(registry);
    const Outcome table = RunCli(registry, L"list");
    EXPECT_EQ(table.exitCode, 0u);
    Texts cells; // the cells of each row, apart by two spaces or more
    for (const std::wstring& line : table.lines) {
        cells.push_back(std::regex_replace(line, std::wregex(L"  +"), L"|"));
    }
    EXPECT_EQ(cells,
        (Texts{L"NAME|REGISTRY|KEY|WINDOWS INSTALLER|PRODUCT CODE|UNINSTALL COMMAND|QUIET UNINSTALL COMMAND",
            L"QuellMAR|HKCU|a|no|-|a|-", L"Quellmar Quiet|HKCU|quiet|no|-|u.exe|" + kQuiet,
            L"Velmo Guard|HKLM 32-bit|{A1}|no|-|\"C:\\u\" /S|-",
            L"Velmo Installer|HKLM 32-bit|" + kCode + L"|yes|" + kCode + L"|" + kRemoval + L"|-",
            kOddNameShown + L"|HKCU|odd|no|-|o.exe|-"}));

    // The second column starts at one place on the screen, a Chinese character taking two, two places after the
    // widest name.
    std::set<size_t> starts, gaps;
    for (const std::wstring& line : table.lines) {
        const size_t end = line.find(L"  "), start = line.find_first_not_of(L' ', end);
        starts.insert(start
            + std::count_if(line.begin(), line.begin() + start, [](wchar_t c) { return c >= 0x4E00 && c <= 0x9FFF; }));
        gaps.insert(start - end);
    }
    EXPECT_EQ(starts.size(), 1u);
    EXPECT_EQ(*gaps.begin(), 2u);

    const Outcome json = RunCli(registry, L"list --json");
    EXPECT_EQ(json.exitCode, 0u);
    EXPECT_EQ(json.lines,
        (Texts{LR"({"products": [)",
            LR"(  {"displayName": "QuellMAR", "registry": "HKCU", "keyName": "a", "windowsInstaller": false, "productCode": null, "uninstallCommand": "a", "quietUninstallCommand": null},)",
            LR"(  {"displayName": "Quellmar Quiet", "registry": "HKCU", "keyName": "quiet", "windowsInstaller": false, "productCode": null, "uninstallCommand": "u.exe", "quietUninstallCommand": "\"%FG_STUB%\" tag:quiet \"%FG_RUNS%\""},)",
            LR"(  {"displayName": "Velmo Guard", "registry": "HKLM 32-bit", "keyName": "{A1}", "windowsInstaller": false, "productCode": null, "uninstallCommand": "\"C:\\u\" /S", "quietUninstallCommand": null},)",
            LR"(  {"displayName": "Velmo Installer", "registry": "HKLM 32-bit", "keyName": ")" + kCode
                + LR"(", "windowsInstaller": true, "productCode": ")" + kCode + LR"(", "uninstallCommand": ")"
                + std::regex_replace(kRemoval, std::wregex(LR"(["\\])"), L"\\$&")
                + LR"(", "quietUninstallCommand": null},)",
            LR"(  {"displayName": "Velmo Zh 中文 \"q\" C:\\d \u0001 \uD800 )" + std::wstring(L"\xD83D\xDE00")
                + LR"(", "registry": "HKCU", "keyName": "odd", "windowsInstaller": false, "productCode": null, "uninstallCommand": "o.exe", "quietUninstallCommand": null})",
            L"]}"}));

    // Quiet removal takes the quiet command, the Installer's own or none, for every registration of a name; a dry run
    // starts nothing.
    StubRuns runs;
    AddStubProduct(registry, true, L"S", L"Velmo Stub", L"", runs);
    const Outcome quiet = RunCli(registry, L"uninstall --all --quiet --dry-run");
    EXPECT_EQ(quiet.exitCode, 50u);
    EXPECT_EQ(quiet.lines,
        (Texts{L"QuellMAR: no quiet uninstall; not started", L"quellmar: no quiet uninstall; not started",
            L"Quellmar Quiet: would start " + kQuiet, L"Velmo Guard: no quiet uninstall; not started",
            L"VELMO Guard: no quiet uninstall; not started",
            L"Velmo Installer: would start " + kRemoval + L" /qn /norestart",
            L"Velmo Stub: no quiet uninstall; not started", kOddNameShown + L": no quiet uninstall; not started"}));
    const Outcome plain = RunCli(registry, L"uninstall --dry-run \"velmo stub\" \"Velmo Installer\"");
    EXPECT_EQ(plain.exitCode, 0u);
    // Elevated, it leaves out the per-user products, whose commands any program of the user may write, unless told.
    EXPECT_EQ(RunCli(registry, L"uninstall --all --quiet --dry-run", true).lines,
        (Texts{quiet.lines[3], quiet.lines[5], quiet.lines[6]}));
    EXPECT_EQ(RunCli(registry, L"uninstall --all --quiet --dry-run --include-user", true).lines, quiet.lines);
    Texts names; // the first column of an elevated list
    for (const std::wstring& line : RunCli(registry, L"list", true).lines) {
        names.push_back(line.substr(0, line.find(L"  ")));
    }
    EXPECT_EQ(names, (Texts{L"NAME", L"Velmo Guard", L"Velmo Installer", L"Velmo Stub"}));
    EXPECT_EQ(RunCli(registry, L"list --include-user", true).lines, RunCli(registry, L"list").lines);
    EXPECT_EQ(plain.lines,
        (Texts{L"Velmo Installer: would start " + kRemoval, L"Velmo Stub: would start \"%FG_STUB%\" \"%FG_RUNS%\""}));
    Sleep(1500); // time for a wrong start to show
    EXPECT_TRUE(runs.Take().empty());
    // The stub removes nothing: the registry is looked at until the timeout.
    EXPECT_EQ(RunCli(registry, L"uninstall --quiet --timeout 3 \"Quellmar Quiet\"").exitCode, 1603u);
    EXPECT_EQ(runs.TakeTags(0), Texts{L"quiet"});
}

TEST(FarrowgateCli, RemovalWaitsForEachUninstallerScansAgainAndExitsWithTheWorstOutcome)
{
    // Products "Velmo <the tag's letter>" (J1 and J2: one product registered twice) whose uninstallers, the stub with
    // these options, record their tags; the arguments, the exit code, the output and the tags recorded.
    const std::tuple<std::vector<std::pair<std::wstring, std::wstring>>, std::wstring, DWORD, Texts, Texts> cases[] = {
        {{{L"A", L"--remove HKLM A"}}, L"uninstall \"velmo a\"", 0, {L"Velmo A: removed (uninstaller exit code 0)"},
            {L"A"}},
        {{{L"B", L"--exit 3010 --remove HKLM B"}, {L"C", L"--exit 1641 --remove HKLM C"}, {L"D", L"--remove HKLM D"}},
            L"uninstall --all", 3010,
            {L"Velmo B: removed, restart required (uninstaller exit code 3010)",
                L"Velmo C: removed, restart required (uninstaller exit code 1641)",
                L"Velmo D: removed (uninstaller exit code 0)"},
            {L"B", L"C", L"D"}},
        {{{L"E", L"--exit 3010"}, {L"F", L"--exit 1603 --remove HKLM F"}}, L"uninstall --all --timeout 5", 1603,
            {L"Velmo E: still present (uninstaller exit code 3010)", L"Velmo F: removed (uninstaller exit code 1603)"},
            {L"E", L"F"}},
        {{{L"G", L""}, {L"H", L"missing"}}, L"uninstall --all --timeout 3", 2,
            {L"Velmo G: still present (uninstaller exit code 0)", L"Velmo H: could not start C:\\fg-missing.exe"},
            {L"G"}},
        {{{L"I", L""}}, L"uninstall --timeout 3 \"Velmo I\" \"Velmo Nowhere\"", 1605,
            {L"farrowgate-cli: no installed product is named Velmo Nowhere"}, {}},
        {{}, L"uninstall --all", 0, {L"No Velmo or Quellmar product is installed."}, {}},
        {{{L"J1", L"--remove HKLM J1"}, {L"J2", L"--remove HKLM J2"}}, L"uninstall \"velmo j\"", 0,
            {L"Velmo J: removed (uninstaller exit code 0)", L"Velmo J: removed (uninstaller exit code 0)"},
            {L"J1", L"J2"}},
        {{{L"K1", L"--remove HKLM K1 --remove HKLM K2"}, {L"K2", L""}}, L"uninstall --all", 0,
            {L"Velmo K: removed (uninstaller exit code 0)", L"Velmo K: already removed; not started"}, {L"K1"}},
        // The uninstaller hands over to a copy of itself, which removes the product after the one started ended.
        {{{L"L", L"--handover --remove HKLM L"}}, L"uninstall --all", 0,
            {L"Velmo L: removed (uninstaller exit code 0)"}, {L"L"}},
    };
    for (const auto& [products, arguments, exitCode, lines, tags] : cases) {
        ScratchRegistry registry;
        StubRuns runs;
        for (const auto& [tag, options] : products) {
            const std::wstring name = L"Velmo " + tag.substr(0, 1);
            if (options == L"missing") {
                registry.AddProduct(true, tag, name, L"C:\\fg-missing.exe");
            } else {
                AddStubProduct(registry, true, tag, name,
                    L"tag:" + tag + L" --registry " + registry.Path() + L" " + options, runs);
            }
        }
        const Outcome run = RunCli(registry, arguments);
        EXPECT_EQ(run.exitCode, exitCode) << arguments;
        EXPECT_EQ(run.lines, lines);
        Texts started = runs.TakeTags(0);
        std::sort(started.begin(), started.end());
        EXPECT_EQ(started, tags);
    }
}

TEST(FarrowgateCli, AnUninstallerStillRunningAtTheTimeoutIsReportedAndLeftRunningAndNoOtherStarts)
{
    ScratchRegistry registry;
    StubRuns runs;
    const std::wstring hold = L"FarrowgateCliHold" + std::to_wstring(GetCurrentProcessId());
    const ScopedKernelHandle event(CreateEventW(nullptr, TRUE, FALSE, hold.c_str()));
    AddStubProduct(registry, false, L"T", L"Quellmar T", L"tag:T --hold " + hold, runs);
    AddStubProduct(registry, false, L"U", L"Quellmar U", L"tag:U", runs); // then not started beside it
    const Outcome run = RunCli(registry, L"uninstall --timeout 1 --all");
    EXPECT_EQ(run.exitCode, 1460u);
    EXPECT_EQ(run.lines,
        (Texts{L"Quellmar T: timed out after 1 s; its uninstaller keeps running",
            L"Quellmar U: not started; an uninstaller before it is still running"}));
    EXPECT_TRUE(runs.Take().empty());
    SetEvent(event.Get());
    EXPECT_EQ(runs.TakeTags(1), Texts{L"T"});
}

// No consent prompt is answered under test: the shell's stand-in declines it.
TEST(FarrowgateCli, ADeclinedConsentPromptEndsWithTheCancelledExitCode)
{
    ScratchRegistry registry;
    registry.AddProduct(true, L"A", L"Velmo Admin", L"\"C:\\u.exe\" /S");
    InstalledEntryList products;
    CollectTargetRegistrations(products);
    EXPECT_EQ(RemoveProducts(products, {}, ConsoleText(STD_OUTPUT_HANDLE),
                  FakeStarter(kErrorElevationRequired, ERROR_CANCELLED)),
        1223);
    EXPECT_EQ(g_fakes.request, L"attached runas C:\\u.exe|/S");
}

TEST(FarrowgateCli, TheProgramPrintsItsUsageWhenAskedAndAfterEachArgumentErrorWithItsOwnExitCode)
{
    const std::wstring program = L"\"" + ModuleDirectory() + L"\\farrowgate-cli.exe\" ";
    const Outcome help = RunProgram(program + L"uninstall --bogus --help");
    EXPECT_EQ(help.exitCode, 0u);
    EXPECT_EQ(Texts(help.lines.begin(), help.lines.begin() + std::min<size_t>(help.lines.size(), 2)),
        (Texts{L"Usage:", L"  farrowgate-cli list [--json] [--include-user]"}));
    const std::pair<std::wstring, std::wstring> cases[] = {{L"", L"no command given"}, {L"lst", L"unknown command lst"},
        {L"list --xml", L"unknown option --xml"}, {L"uninstall", L"uninstall takes either --all or NAMEs"},
        {L"uninstall --all Velmo", L"uninstall takes either --all or NAMEs"},
        {L"uninstall --all --force", L"unknown option --force"},
        {L"uninstall --all --timeout 86401", L"--timeout takes a number of seconds from 1 to 86400"},
        {L"uninstall --all --timeout", L"--timeout takes a number of seconds from 1 to 86400"}};
    for (const auto& [arguments, error] : cases) {
        const Outcome run = RunProgram(program + arguments);
        EXPECT_EQ(run.exitCode, 87u) << arguments;
        Texts expected = help.lines;
        expected.insert(expected.begin(), L"farrowgate-cli: " + error);
        EXPECT_EQ(run.lines, expected);
    }
}

// Without a manifest that says so, Windows would give it the registry virtualisation of old programs.
TEST(FarrowgateCli, TheProgramRunsAsTheInvokerAsTheWindowProgramDoes)
{
    std::ifstream file(std::filesystem::path(ModuleDirectory() + L"\\farrowgate-cli.exe"), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_NE(bytes.find("<requestedExecutionLevel level=\"asInvoker\""), std::string::npos);
}

} // namespace

// Started with kAsCli (or kAsElevatedCli) and a scratch registry's path, this program is farrowgate-cli on that
// registry.
int wmain(int argc, wchar_t** argv)
{
    const bool elevated = argc >= 3 && wcscmp(argv[1], kAsElevatedCli) == 0;
    if (argc >= 3 && (elevated || wcscmp(argv[1], kAsCli) == 0)) {
        UseScratchRegistry(argv[2]);
        return RunFarrowgateCli(std::vector<std::wstring>(argv + 3, argv + argc), elevated);
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
