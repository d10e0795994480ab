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
#include "tests/support/ScratchRegistry.h"
#include "tests/support/StubRuns.h"
#include "tests/support/TestFolders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

namespace {

using Texts = std::vector<std::wstring>;
using Outcome = std::pair<DWORD, Texts>; // the exit code, and standard output and error together, a text a line
constexpr const wchar_t* kAsCli = L"--as-farrowgate-cli";
constexpr const wchar_t* kAsElevatedCli = L"--as-elevated-farrowgate-cli"; // the same, told it runs elevated

Texts Lines(const std::wstring& text, const wchar_t* end)
{
    const std::wregex lineEnd(end);
    return Texts(std::wsregex_token_iterator(text.begin(), text.end(), lineEnd, -1), {});
}

Outcome RunToEnd(const std::wstring& commandLine)
{
    const ProgramRun run = RunProgram(commandLine);
    return {run.exitCode, Lines(FromUtf8(run.output), L"\r\n")};
}

Outcome RunCli(const ScratchRegistry& registry, const std::wstring& arguments, bool elevated = false)
{
    return RunToEnd(L"\"" + ModuleDirectory() + L"\\cli_tests.exe\" " + (elevated ? kAsElevatedCli : kAsCli) + L" "
        + registry.Path() + L" " + arguments);
}

// The lines of a file next to the test program, each "{system}" the system folder (in JSON, each "\" doubled).
Texts Golden(const std::wstring& name)
{
    const std::wstring system = name.find(L"json") == std::wstring::npos
        ? SystemFolder(false)
        : std::regex_replace(SystemFolder(false), std::wregex(LR"(\\)"), LR"(\\)");
    return Lines(std::regex_replace(FromUtf8(ReadModuleFile(name)), std::wregex(LR"(\{system\})"), system), L"\n");
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

// The scan's rule products, among them a Windows Installer product and one with a quiet command, and one whose
// name JSON has to escape.
TEST(FarrowgateCli, ListsTheWindowsProductsAsATableOrOneJsonDocumentAndTellsWhatARemovalWouldStart)
{
    ScratchRegistry registry;
    registry.Import(L"uninstall_products.reg");
    registry.AddProduct(false, L"odd", L"Velmo Zh 中文 \"q\" C:\\d \x01 \xD800 \xD83D\xDE00", L"o.exe");
    // Columns two places after their widest cell, a Chinese character taking two. Elevated, it leaves out the
    // per-user products, whose commands any program of the user may write, unless told.
    EXPECT_EQ(RunCli(registry, L"list"), Outcome(0, Golden(L"list.txt")));
    EXPECT_EQ(RunCli(registry, L"list --json"), Outcome(0, Golden(L"list.json.txt")));
    EXPECT_EQ(RunCli(registry, L"list", true), Outcome(0, Golden(L"list_elevated.txt")));
    EXPECT_EQ(RunCli(registry, L"list --include-user", true), Outcome(0, Golden(L"list.txt")));

    // Quiet removal takes the quiet command, the Installer's own or none, for every registration of a name; a dry run
    // starts nothing.
    StubRuns runs;
    AddStubProduct(registry, true, L"S", L"Velmo Stub", L"", runs);
    const std::wstring quietCommand = L"\"%FG_STUB%\" tag:quiet \"%FG_RUNS%\"";
    const Outcome quiet = RunCli(registry, L"uninstall --all --quiet --dry-run");
    EXPECT_EQ(quiet,
        Outcome(50,
            {L"QuellMAR: no quiet uninstall; not started", L"quellmar: no quiet uninstall; not started",
                L"Quellmar Quiet: would start " + quietCommand, L"Velmo Guard: no quiet uninstall; not started",
                L"VELMO Guard: no quiet uninstall; not started",
                L"Velmo Installer: would start " + kRemoval + L" /qn /norestart",
                L"Velmo Stub: no quiet uninstall; not started",
                // its lone surrogate replaced
                L"Velmo Zh 中文 \"q\" C:\\d \x01 \xFFFD \xD83D\xDE00: no quiet uninstall; not started"}));
    EXPECT_EQ(RunCli(registry, L"uninstall --all --quiet --dry-run", true).second,
        (Texts{quiet.second[3], quiet.second[5], quiet.second[6]}));
    EXPECT_EQ(RunCli(registry, L"uninstall --all --quiet --dry-run --include-user", true), quiet);
    EXPECT_EQ(RunCli(registry, L"uninstall --dry-run \"velmo stub\" \"Velmo Installer\""),
        Outcome(0,
            {L"Velmo Installer: would start " + kRemoval, L"Velmo Stub: would start \"%FG_STUB%\" \"%FG_RUNS%\""}));
    Sleep(1500); // time for a wrong start to show
    EXPECT_TRUE(runs.Take().empty());
    // The stub removes nothing: the registry is looked at until the timeout.
    EXPECT_EQ(RunCli(registry, L"uninstall --quiet --timeout 3 \"Quellmar Quiet\"").first, 1603u);
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
        EXPECT_EQ(RunCli(registry, arguments), Outcome(exitCode, lines)) << arguments;
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
    EXPECT_EQ(RunCli(registry, L"uninstall --timeout 1 --all"),
        Outcome(1460,
            {L"Quellmar T: timed out after 1 s; its uninstaller keeps running",
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
    const Outcome help = RunToEnd(program + L"uninstall --bogus --help");
    EXPECT_EQ(help.first, 0u);
    EXPECT_EQ(Texts(help.second.begin(), help.second.begin() + std::min<size_t>(help.second.size(), 2)),
        (Texts{L"Usage:", L"  farrowgate-cli list [--json] [--include-user]"}));
    const std::pair<std::wstring, std::wstring> cases[] = {{L"", L"no command given"}, {L"lst", L"unknown command lst"},
        {L"list --xml", L"unknown option --xml"}, {L"uninstall", L"uninstall takes either --all or NAMEs"},
        {L"uninstall --all Velmo", L"uninstall takes either --all or NAMEs"},
        {L"uninstall --all --force", L"unknown option --force"},
        {L"uninstall --all --timeout 86401", L"--timeout takes a number of seconds from 1 to 86400"},
        {L"uninstall --all --timeout", L"--timeout takes a number of seconds from 1 to 86400"}};
    for (const auto& [arguments, error] : cases) {
        Texts expected = help.second;
        expected.insert(expected.begin(), L"farrowgate-cli: " + error);
        EXPECT_EQ(RunToEnd(program + arguments), Outcome(87, expected)) << arguments;
    }
}

// Without a manifest that says so, Windows would give it the registry virtualisation of old programs.
TEST(FarrowgateCli, TheProgramRunsAsTheInvokerAsTheWindowProgramDoes)
{
    EXPECT_NE(ReadModuleFile(L"farrowgate-cli.exe").find("<requestedExecutionLevel level=\"asInvoker\""),
        std::string::npos);
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
