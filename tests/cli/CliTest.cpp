// farrowgate-cli as deployment engines run it: its own process, its output redirected, its exit code read. A scratch
// registry holds for one process, so for the products this program, started with kAsCli, stands in for the real
// farrowgate-cli.exe, which answers its usage and its arguments, and runs the code its wmain runs.
#include "catalogue/ProductMatch.h"
#include "cli/FarrowgateCli.h"
#include "cli/ProductRemoval.h"
#include "tests/support/FakeStarts.h"
#include "tests/support/ScratchRegistry.h"
#include "tests/support/StubRuns.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

using Texts = std::vector<std::wstring>;
constexpr const wchar_t* kAsCli = L"--as-farrowgate-cli"; // then a scratch registry's path, and "elevated" or "-"

// farrowgate-cli run to its end: the real one, or this program standing in for it on a scratch registry.
ProgramRun Cli(const std::wstring& arguments, const ScratchRegistry* registry = nullptr, bool elevated = false)
{
    const std::wstring program = registry
        ? L"cli_tests.exe\" " + (kAsCli + (L" " + registry->Path() + (elevated ? L" elevated " : L" - ")))
        : L"farrowgate-cli.exe\" ";
    return RunProgram(L"\"" + ModuleDirectory() + L"\\" + program + arguments);
}

// A file next to the test program, each "{system}" the system folder (in JSON, each "\" doubled).
std::wstring Golden(const std::wstring& name)
{
    const std::wstring system = name.find(L"json") == std::wstring::npos
        ? SystemFolder(false)
        : std::regex_replace(SystemFolder(false), std::wregex(LR"(\\)"), LR"(\\)");
    return std::regex_replace(FromUtf8(ReadModuleFile(name)), std::wregex(LR"(\{system\})"), system);
}

// The scan's rule products, among them a Windows Installer product and one with a quiet command, one registered
// twice, and one whose name JSON has to escape (its lone surrogate written as U+FFFD).
TEST(FarrowgateCli, ListsTheWindowsProductsAsATableOrOneJsonDocumentAndTellsWhatARemovalWouldStart)
{
    ScratchRegistry registry;
    registry.Import(L"uninstall_products.reg");
    registry.AddProduct(false, L"odd", L"Velmo Zh 中文 \"q\" C:\\d \x01 \xD800 \xD83D\xDE00", L"o.exe");
    // Columns two places after their widest cell, a Chinese character taking two. Elevated, it leaves out the
    // per-user products, whose commands any program of the user may write, unless told.
    EXPECT_EQ(Cli(L"list", &registry), ProgramRun(0, Golden(L"list.txt")));
    EXPECT_EQ(Cli(L"list --json", &registry), ProgramRun(0, Golden(L"list.json.txt")));
    EXPECT_EQ(Cli(L"list", &registry, true), ProgramRun(0, Golden(L"list_elevated.txt")));
    EXPECT_EQ(Cli(L"list --include-user", &registry, true), ProgramRun(0, Golden(L"list.txt")));

    // Quiet removal takes the quiet command, the Installer's own or none, for every registration of a name; a dry run
    // starts nothing, and a name of no product starts nothing at all.
    StubRuns runs;
    registry.AddProduct(true, L"S", L"Velmo Stub", runs.ExpandableCommand(L""), REG_EXPAND_SZ);
    EXPECT_EQ(Cli(L"uninstall --all --quiet --dry-run", &registry), ProgramRun(50, Golden(L"uninstall_quiet.txt")));
    EXPECT_EQ(Cli(L"uninstall --all --quiet --dry-run", &registry, true),
        ProgramRun(50, Golden(L"uninstall_quiet_elevated.txt")));
    EXPECT_EQ(Cli(L"uninstall --all --quiet --dry-run --include-user", &registry, true),
        ProgramRun(50, Golden(L"uninstall_quiet.txt")));
    EXPECT_EQ(Cli(L"uninstall --dry-run \"velmo stub\" \"Velmo Installer\" \"velmo GUARD\"", &registry),
        ProgramRun(0, Golden(L"uninstall_named.txt")));
    EXPECT_EQ(Cli(L"uninstall --timeout 3 \"Velmo Stub\" \"Velmo Nowhere\"", &registry),
        ProgramRun(1605, L"farrowgate-cli: no installed product is named Velmo Nowhere\n"));
    Sleep(1500); // time for a wrong start to show
    EXPECT_TRUE(runs.Take().empty());
    // The stub removes nothing: the registry is looked at until the timeout.
    EXPECT_EQ(Cli(L"uninstall --quiet --timeout 3 \"Quellmar Quiet\"", &registry).first, 1603u);
    EXPECT_EQ(runs.TakeTags(0), Texts{L"quiet"});
}

TEST(FarrowgateCli, RemovalWaitsForEachUninstallerScansAgainAndExitsWithTheWorstOutcome)
{
    ScratchRegistry registry;
    EXPECT_EQ(Cli(L"uninstall --all", &registry), ProgramRun(0, L"No Velmo or Quellmar product is installed.\n"));
    // No consent prompt is answered under test: the shell's stand-in declines it.
    registry.AddProduct(true, L"A", L"Velmo Admin", L"\"C:\\u.exe\" /S");
    InstalledEntryList products;
    CollectTargetRegistrations(products);
    EXPECT_EQ(RemoveProducts(products, {}, ConsoleText(STD_OUTPUT_HANDLE),
                  FakeStarter(kErrorElevationRequired, ERROR_CANCELLED)),
        1223);
    EXPECT_EQ(g_fakes.request, L"attached runas C:\\u.exe|/S");
    registry.DeleteProduct(true, L"A");

    // Products "Velmo <the tag's letter>" (J1 and J2: one product registered twice) whose uninstallers, the stub
    // with these options, record their tags. L's hands over to a copy of itself, which removes the product after the
    // one started ended.
    StubRuns runs;
    const auto addStubs = [&](const Texts& stubs) { // each the tag, then the stub's options
        for (const std::wstring& stub : stubs) {
            const std::wstring tag = stub.substr(0, stub.find(L' '));
            registry.AddProduct(true, tag, L"Velmo " + tag.substr(0, 1),
                runs.ExpandableCommand(L"tag:" + tag + L" --registry " + registry.Path() + stub.substr(tag.size())),
                REG_EXPAND_SZ);
        }
    };
    addStubs({L"A --remove HKLM A", L"B --exit 3010 --remove HKLM B", L"C --exit 1641 --remove HKLM C",
        L"J1 --remove HKLM J1", L"J2 --remove HKLM J2", L"K1 --remove HKLM K1 --remove HKLM K2", L"K2",
        L"L --handover --remove HKLM L"});
    EXPECT_EQ(Cli(L"uninstall --all", &registry), ProgramRun(3010, Golden(L"uninstall_removed.txt")));
    EXPECT_EQ(runs.TakeTags(0), (Texts{L"A", L"B", L"C", L"J1", L"J2", L"K1", L"L"}));
    addStubs({L"E --exit 3010", L"F --exit 1603 --remove HKLM F", L"G"});
    registry.AddProduct(true, L"H", L"Velmo H", L"C:\\fg-missing.exe");
    EXPECT_EQ(Cli(L"uninstall --all --timeout 5", &registry),
        ProgramRun(2,
            L"Velmo E: still present (uninstaller exit code 3010)\nVelmo F: removed (uninstaller exit code 1603)\n"
            L"Velmo G: still present (uninstaller exit code 0)\nVelmo H: could not start C:\\fg-missing.exe\n"));
    EXPECT_EQ(runs.TakeTags(0), (Texts{L"E", L"F", L"G"}));

    // An uninstaller still running at the timeout is left running, and no other starts.
    const std::wstring hold = L"FarrowgateCliHold" + std::to_wstring(GetCurrentProcessId());
    const ScopedKernelHandle event(CreateEventW(nullptr, TRUE, FALSE, hold.c_str()));
    registry.AddProduct(false, L"T", L"Quellmar T", runs.ExpandableCommand(L"tag:T --hold " + hold), REG_EXPAND_SZ);
    registry.AddProduct(false, L"U", L"Quellmar U", runs.ExpandableCommand(L"tag:U"), REG_EXPAND_SZ);
    EXPECT_EQ(Cli(L"uninstall --timeout 1 \"quellmar t\" \"Quellmar U\"", &registry),
        ProgramRun(1460,
            L"Quellmar T: timed out after 1 s; its uninstaller keeps running\n"
            L"Quellmar U: not started; an uninstaller before it is still running\n"));
    EXPECT_TRUE(runs.Take().empty());
    SetEvent(event.Get());
    EXPECT_EQ(runs.TakeTags(1), Texts{L"T"});
}

// Without a manifest that says so, Windows would give it the registry virtualisation of old programs. After an
// argument error, the usage follows it on the standard error.
TEST(FarrowgateCli, TheProgramRunsAsTheInvokerAndPrintsItsUsageWhenAskedAndAfterEachArgumentErrorWithItsOwnExitCode)
{
    EXPECT_NE(ReadModuleFile(L"farrowgate-cli.exe").find("<requestedExecutionLevel level=\"asInvoker\""),
        std::string::npos);
    const ProgramRun help = Cli(L"uninstall --bogus --help");
    EXPECT_EQ(help.first, 0u);
    EXPECT_EQ(help.second.find(L"Usage:\n  farrowgate-cli list [--json] [--include-user]\n"), 0u);
    for (const auto& [arguments, error] : std::initializer_list<std::pair<const wchar_t*, const wchar_t*>>{
             {L"", L"no command given"}, {L"lst", L"unknown command lst"}, {L"list --xml", L"unknown option --xml"},
             {L"uninstall", L"uninstall takes either --all or NAMEs"},
             {L"uninstall --all Velmo", L"uninstall takes either --all or NAMEs"},
             {L"uninstall --all --force", L"unknown option --force"},
             {L"uninstall --all --timeout 86401", L"--timeout takes a number of seconds from 1 to 86400"},
             {L"uninstall --all --timeout", L"--timeout takes a number of seconds from 1 to 86400"}}) {
        EXPECT_EQ(Cli(arguments), ProgramRun(87, L"farrowgate-cli: " + (error + (L"\n" + help.second)))) << arguments;
    }
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc >= 4 && wcscmp(argv[1], kAsCli) == 0) {
        UseScratchRegistry(argv[2]);
        return RunFarrowgateCli(std::vector<std::wstring>(argv + 4, argv + argc), wcscmp(argv[3], L"elevated") == 0);
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
