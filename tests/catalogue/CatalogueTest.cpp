#include "catalogue/EntryIcon.h"
#include "catalogue/ProductMatch.h"
#include "catalogue/UninstallCommand.h"
#include "catalogue/UninstallScan.h"
#include "tests/support/DibCanvas.h"
#include "tests/support/FakeStarts.h"
#include "tests/support/ScratchRegistry.h"
#include "tests/support/StubRuns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

TEST(UninstallScan, ListsTheProductsOfBothRootsByTheRegistryRulesInNameOrderOnceEachTheMachinesFirstKeyWinning)
{
    // One line an entry: name|command|icon|key|root, "*" marking a text stored as REG_EXPAND_SZ, "|I" a Windows
    // Installer product; a long text of one character repeated as that character and its count, "n{259}".
    const auto shown = [](const std::wstring& t) {
        return t.size() < 100 || t != std::wstring(t.size(), t[0]) ? t
                                                                   : t[0] + (L'{' + std::to_wstring(t.size()) + L'}');
    };
    const auto listed = [&](const InstalledEntryList& list) {
        std::wstring listed;
        for (const InstalledEntry& e : list) {
            listed += shown(e.DisplayName) + L"|" + shown(e.UninstallString)
                + (e.UninstallStringExpandable ? L"*|" : L"|") + shown(e.DisplayIcon)
                + (e.DisplayIconExpandable ? L"*|" : L"|") + shown(e.KeyName) + (e.FromMachine ? L"|M" : L"|U")
                + (e.WindowsInstaller ? L"|I\n" : L"\n");
        }
        return listed;
    };
    ScratchRegistry registry;
    // Forty keys a root named alike but for ASCII case, among others, scanned k10, k11, ... in turn: machine k10 wins.
    for (int i = 0; i < 40; ++i) {
        const std::wstring key = L"k" + std::to_wstring(10 + i);
        registry.AddProduct(false, key, i % 2 ? L"VELMO SAME" : L"velmo same", L"user " + key);
        registry.AddProduct(true, key, i % 2 ? L"Velmo Same" : L"velmo SAME", L"machine " + key);
        registry.AddProduct(true, L"o" + key, L"Other " + std::to_wstring(i % 7), L"x");
    }
    registry.Import(L"uninstall_products.reg");
    // Texts are read at their size, up to the longest command line.
    registry.AddProduct(true, L"long", L"Long", std::wstring(32766, L'c'));
    registry.AddProduct(true, L"tooLong", L"Too Long Command", std::wstring(32767, L'c'));
    InstalledEntryList list(1); // emptied by the scan
    EXPECT_TRUE(ScanInstalledEntries(list));
    EXPECT_EQ(listed(list), FromUtf8(ReadModuleFile(L"scan_listing.txt")));
    CollectTargetProducts(list); // a fresh scan's names starting with a keyword in any ASCII case
    EXPECT_EQ(listed(list), FromUtf8(ReadModuleFile(L"target_listing.txt")));
}

TEST(UninstallerLaunch, StartsTheInstallersRemovalOrTheStoredCommandDetachedElevatedWhereNeededLeavingNoHandle)
{
    // Where the key has WindowsInstaller = 1, the system folder's Installer by its full path removes the product
    // whose code follows the stored command in the listing; every other command starts as stored.
    const std::wstring removal = L"\"" + SystemFolder(false) + L"\\msiexec.exe\" /X";
    std::wistringstream listing(FromUtf8(ReadModuleFile(L"installer_commands.txt")));
    ASSERT_FALSE(listing.str().empty());
    for (std::wstring line; std::getline(listing, line);) {
        const std::wstring stored = line.substr(0, line.rfind(L'|')), code = line.substr(line.rfind(L'|') + 1);
        InstalledEntry entry = {0, L"", L"", stored, false, false, L"", false, true};
        EXPECT_EQ(UninstallCommand(entry), code.empty() ? stored : removal + code) << stored;
        entry.WindowsInstaller = false;
        EXPECT_EQ(UninstallCommand(entry), stored);
    }
    // One name in this program's folder, the current folder and an absolute folder of PATH, behind relative ones.
    const ScratchFolder folder(L"fg-launch"), current(L"fg-current"), onPath(L"fg-path");
    const std::wstring name = L"fg-planted.exe", ours = ModuleDirectory() + L"\\" + name;
    for (const std::wstring& copy : {ours, current / name, onPath / name, folder / L"a.exe", folder / L"a b.exe"}) {
        ASSERT_TRUE(CopyFileW(StubUninstallerPath().c_str(), copy.c_str(), FALSE));
    }
    wchar_t path[4096], cwd[MAX_PATH];
    GetEnvironmentVariableW(L"PATH", path, 4096);
    GetCurrentDirectoryW(MAX_PATH, cwd);
    SetEnvironmentVariableW(L"PATH", (L".;fg-path;" + onPath.Path() + L";" + path).c_str());
    SetCurrentDirectoryW(current.Path().c_str());
    // With "C:\u ", 32,766 characters: with the terminator, the most process creation takes.
    const std::wstring longest(32761, L'x');
    ASSERT_TRUE(SetEnvironmentVariableW(L"FG_LONG", longest.c_str()));
    ASSERT_TRUE(SetEnvironmentVariableW(L"FG_ROOT", L"C:\\V"));
    const std::wstring planted = L"\"" + (onPath / name) + L"\"";
    const std::wstring system = _wgetenv(L"SystemRoot") + std::wstring(L"\\system32\\");
    constexpr DWORD kElevate = 740; // ERROR_ELEVATION_REQUIRED
    constexpr LaunchResult kStarted = LaunchResult::Started, kFailed = LaunchResult::Failed;
    // A command, how process creation and the shell fail, the result, and what was asked for: the shell's request if
    // elevation took it there, else process creation's command line. Unquoted, the program is the first prefix naming
    // one, ".exe" added where it has none; a bare name's is found in the system folder or PATH's absolute folders only.
    const std::tuple<std::wstring, DWORD, DWORD, LaunchResult, std::wstring> cases[] = {
        {L"\"C:\\V g\\u.exe\"  /S  /D=\"a b\"", kElevate, 0, kStarted, L"runas C:\\V g\\u.exe|/S  /D=\"a b\""},
        {L"%FG_ROOT%\\u.exe /S", kElevate, 0, kStarted, L"runas C:\\V\\u.exe|/S"},
        {L"MsiExec.exe /X{6A1C}", kElevate, 0, kStarted, L"runas " + system + L"MsiExec.exe|/X{6A1C}"},
        {folder / L"a b /x", kElevate, 0, kStarted, L"runas " + folder / L"a.exe|b /x"},
        {L"\"C:\\u.exe\"/S", kElevate, ERROR_FILE_NOT_FOUND, kFailed, L"runas C:\\u.exe|/S"},
        {L"\"C:\\u.exe\"", kElevate, ERROR_CANCELLED, LaunchResult::Declined, L"runas C:\\u.exe|"},
        {L"", kElevate, 0, kFailed, L""}, {L"\"C:\\u.exe\"", ERROR_CANCELLED, 0, kFailed, L"\"C:\\u.exe\""},
        {L"fg-planted.exe /x", 0, 0, kStarted, planted + L" /x"}, {L"fg-planted", 0, 0, kStarted, planted},
        {L"\"fg-planted.exe\" /x", 0, 0, kStarted, planted + L" /x"},
        {L"MsiExec.exe /X{6A1C}", 0, 0, kStarted, L"\"" + system + L"MsiExec.exe\" /X{6A1C}"},
        {L"C:\\fg\\u.exe /x", 0, 0, kStarted, L"C:\\fg\\u.exe /x"}, {L"fg-nowhere.exe /x", 0, 0, kFailed, L""},
        {L"C:\\u %FG_LONG%", 0, 0, kStarted, L"C:\\u " + longest}, {L"C:\\uu %FG_LONG%", 0, 0, kFailed, L""}};
    for (const auto& [command, createError, shellError, result, asked] : cases) {
        SCOPED_TRACE(command);
        const bool expandable = command.find(L'%') != std::wstring::npos;
        EXPECT_EQ(LaunchUninstaller(command, expandable, false, FakeStarter(createError, shellError)), result);
        EXPECT_EQ(g_fakes.request.empty() && !g_fakes.created.empty() ? g_fakes.created[0] : g_fakes.request, asked);
        const auto open = [flags = DWORD()](HANDLE handle) mutable { return GetHandleInformation(handle, &flags); };
        EXPECT_TRUE(std::none_of(g_fakes.handedOut.begin(), g_fakes.handedOut.end(), open)) << "a handle is kept";
    }
    SetCurrentDirectoryW(cwd);
    SetEnvironmentVariableW(L"PATH", path);
    DeleteFileW(ours.c_str());
    // A start to wait for keeps the process the consent prompt started.
    const HANDLE shellProcess = CreateEventW(nullptr, TRUE, FALSE, nullptr); // stands for the process; kept, closed
    ScopedKernelHandle process;
    EXPECT_EQ(StartUninstaller(L"\"C:\\u.exe\" /S", false, false, process, FakeStarter(740, 0, shellProcess)),
        LaunchResult::Started);
    EXPECT_EQ(process.Get(), shellProcess);
    // The stubs wait for this event, and look for this inheritable section through its handle's value.
    StubRuns runs;
    const std::wstring hold = L"FarrowgateLaunchHold" + std::to_wstring(GetCurrentProcessId());
    const ScopedKernelHandle event(CreateEventW(nullptr, TRUE, FALSE, hold.c_str()));
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    const ScopedKernelHandle section(
        CreateFileMappingW(INVALID_HANDLE_VALUE, &inheritable, PAGE_READWRITE, 0, 64, nullptr));
    void* const view = MapViewOfFile(section.Get(), FILE_MAP_WRITE, 0, 0, 0);
    wcscpy(static_cast<wchar_t*>(view), L"inherited");
    UnmapViewOfFile(view);
    const std::wstring arguments = L" /x  \"two words\" --hold " + hold + L" --check-handle "
        + std::to_wstring(reinterpret_cast<ULONG_PTR>(section.Get())) + L" " + runs.Folder();
    const std::wstring program = L"\"" + StubUninstallerPath() + L"\" ", command = program + L"%FG_WORDS%" + arguments;
    const std::wstring expandable = L"\"%FG_DIR%\\stub_uninstaller.exe\" %FG_WORDS%" + arguments;
    ASSERT_TRUE(SetEnvironmentVariableW(L"FG_DIR", ModuleDirectory().c_str()));
    ASSERT_TRUE(SetEnvironmentVariableW(L"FG_WORDS", L"expanded words"));
    EXPECT_EQ(LaunchUninstaller(command, false, false), LaunchResult::Started);
    EXPECT_EQ(LaunchUninstaller(expandable, true, false), LaunchResult::Started);
    EXPECT_TRUE(runs.Take().empty()); // all still held: no launch waited
    // The same start with inheritance on, to show that a stub would see the handle.
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION control = {};
    ASSERT_TRUE(CreateProcessW(nullptr, std::wstring(command).data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
        &startup, &control));
    const ScopedKernelHandle controlProcess(control.hProcess), controlThread(control.hThread);
    SetEvent(event.Get());
    std::vector<std::wstring> taken = runs.Take(3);
    std::sort(taken.begin(), taken.end());
    EXPECT_EQ(taken,
        (std::vector<std::wstring>{L"inherited: " + command, L"not inherited: " + command,
            L"not inherited: " + program + L"expanded words" + arguments}));
}

constexpr COLORREF kGreen = RGB(0, 255, 0), kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255),
                   kNone = RGB(0x12, 0x34, 0x56);

// This program holds icon groups green, red and blue, with identifiers 1, 5 and 7.
TEST(EntryIcon, LoadsByPositionIdentifierOrIconFileExpandedWhereStoredSoAndDestroysTheIconItLetsGo)
{
    const std::wstring folder = ModuleDirectory(), sample = folder + L"\\catalogue_tests.exe";
    const std::string ico = ReadModuleFile(L"sample_red.ico");
    // Icon files whose directory lies: 65,535 images, cut short, an image past the end, no image.
    std::string tooMany = std::string("\0\0\1\0\xFF\xFF", 6) + std::string(64, '\x7F'), pastTheEnd = ico, noImage = ico;
    pastTheEnd[21] = '\x7F';
    noImage[4] = noImage[5] = '\0';
    const ScratchFolder scratch(L"fg-icon");
    ASSERT_TRUE(SetEnvironmentVariableW(L"FG_ICONS", folder.c_str()));
    ASSERT_TRUE(SetEnvironmentVariableW(L"FG_ICONS_LONG", std::wstring(300, L'a').c_str()));
    // A spec, whether stored as expandable, and the icon held after loading it over a blue one; a path expanded
    // too long, a spec that does not parse and -1 (the number of icons, not group 1) load none.
    std::vector<std::tuple<std::wstring, bool, COLORREF>> cases = {{sample, false, kGreen},
        {sample + L",1", false, kRed}, {sample + L",2", false, kBlue}, {L"'" + sample + L"', -5", false, kRed},
        {L"\"" + sample + L"\",-7", false, kBlue}, {folder + L"\\sample_blue.ico", false, kBlue},
        {L"%FG_ICONS%\\sample_blue.ico", true, kBlue}, {L"%FG_ICONS%\\sample_blue.ico", false, kNone},
        {L"%FG_ICONS_LONG%\\sample_blue.ico", true, kNone}, {std::wstring(300, L'a'), false, kBlue},
        {sample + L",3", false, kNone}, {sample + L",-6", false, kNone}, {L"", false, kNone},
        {StubUninstallerPath(), false, kNone}, {sample + L",-1", false, kNone}};
    for (const std::string& bytes : {ico, tooMany, ico.substr(0, 14), pastTheEnd, noImage, std::string("text\r\n")}) {
        cases.emplace_back(scratch / (std::to_wstring(cases.size()) + L".ico"), false, bytes == ico ? kRed : kNone);
        std::ofstream(std::filesystem::path(std::get<0>(cases.back())), std::ios::binary) << bytes;
    }
    for (const auto& [spec, expandable, colour] : cases) {
        EntryIcon icon;
        ASSERT_TRUE(icon.LoadFromFile(sample.c_str(), 2));
        const HICON blue = icon.Icon();
        const bool loaded = icon.LoadFromSpec(spec, expandable);
        EXPECT_EQ(loaded, colour != kNone && icon.Icon() != blue) << spec;
        // The one colour it paints its 32 x 32 square in, nothing else touched; kNone when it paints nothing.
        DibCanvas canvas(48, 48, kNone);
        icon.Draw(canvas.Dc(), 8, 8, 32, 32);
        EXPECT_EQ(canvas.Pixels({8, 8, 40, 40}), std::vector<COLORREF>(32 * 32, colour)) << spec;
        EXPECT_EQ(canvas.CountPixels(colour), colour == kNone ? 48 * 48 : 32 * 32) << spec;
        EXPECT_TRUE(icon.Icon() == blue || !DestroyIcon(blue)) << spec; // destroyed when replaced or let go
    }
}
