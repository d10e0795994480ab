#include "catalogue/UninstallScan.h"
#include "tests/support/ScratchRegistry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <tuple>
#include <utility>
#include <vector>

namespace {

constexpr bool kMachine = true;
constexpr bool kUser = false;

std::vector<std::wstring> Names(const InstalledEntryList& list)
{
    std::vector<std::wstring> names;
    for (const InstalledEntry& entry : list) {
        names.push_back(entry.DisplayName);
    }
    return names;
}

std::vector<std::wstring> KeyNames(const InstalledEntryList& list)
{
    std::vector<std::wstring> names;
    for (const InstalledEntry& entry : list) {
        names.push_back(entry.KeyName);
    }
    return names;
}

// The accepted subkeys, whatever order the registry enumerates them in.
std::vector<std::wstring> AcceptedKeys(const InstalledEntryList& list)
{
    std::vector<std::wstring> names = KeyNames(list);
    std::sort(names.begin(), names.end());
    return names;
}

const InstalledEntry& EntryFor(const InstalledEntryList& list, const std::wstring& key)
{
    static const InstalledEntry none;
    for (const InstalledEntry& entry : list) {
        if (entry.KeyName == key) {
            return entry;
        }
    }
    ADD_FAILURE() << "no entry for key";
    return none;
}

InstalledEntryList ListOf(std::initializer_list<const wchar_t*> names)
{
    InstalledEntryList list;
    for (const wchar_t* name : names) {
        InstalledEntry entry;
        entry.DisplayName = name;
        list.push_back(entry);
    }
    return list;
}

class UninstallScanTest : public ::testing::Test {
protected:
    InstalledEntryList ScanMachine()
    {
        InstalledEntryList list;
        EXPECT_TRUE(ScanUninstallRoot(list, kMachine));
        return list;
    }
    InstalledEntryList ScanAll()
    {
        InstalledEntryList list;
        EXPECT_TRUE(ScanInstalledEntries(list));
        return list;
    }

    ScratchRegistry registry_;
};

TEST_F(UninstallScanTest, ReadsEveryFieldOfAnAcceptedSubkey)
{
    registry_.AddProduct(kMachine, L"{A1}", L"Velmo Guard", L"\"C:\\Velmo\\uninst.exe\" /S", L"C:\\Velmo\\guard.exe,2");
    registry_.AddProduct(kUser, L"Tool", L"User Tool", L"C:\\tool\\remove.exe");

    InstalledEntryList list = ScanAll();
    ASSERT_EQ(list.size(), 2u);
    const InstalledEntry& user = list.front();
    EXPECT_EQ(std::tie(user.DisplayName, user.UninstallString, user.DisplayIcon, user.KeyName),
        std::make_tuple(L"User Tool", L"C:\\tool\\remove.exe", L"", L"Tool"));
    EXPECT_FALSE(user.FromMachine);
    const InstalledEntry& velmo = list.back();
    EXPECT_EQ(std::tie(velmo.DisplayName, velmo.UninstallString, velmo.DisplayIcon, velmo.KeyName),
        std::make_tuple(L"Velmo Guard", L"\"C:\\Velmo\\uninst.exe\" /S", L"C:\\Velmo\\guard.exe,2", L"{A1}"));
    EXPECT_EQ(velmo.Sequence, 0);
    EXPECT_TRUE(velmo.FromMachine);
}

TEST_F(UninstallScanTest, NeitherRootPresentGivesAnEmptyList)
{
    InstalledEntryList list;
    list.push_back(InstalledEntry{});
    EXPECT_TRUE(ScanInstalledEntries(list));
    EXPECT_TRUE(list.empty());

    registry_.CreateUninstallKey(kMachine);
    EXPECT_TRUE(ScanAll().empty());
}

TEST_F(UninstallScanTest, FilterRulesSkipUpdatesSystemComponentsAndOperatingSystemParts)
{
    // Update key names: KB or kb followed by a digit.
    for (const wchar_t* key : {L"KB123456", L"kb9", L"Kb0x", L"KB", L"KBase Tool", L"XKB1"}) {
        registry_.AddProduct(kMachine, key, std::wstring(L"Name of ") + key, L"x.exe");
    }
    // Bracketed "(KB" or "(kb" in the display name, in exactly those spellings.
    registry_.AddProduct(kMachine, L"a", L"Security Update (KB2345)", L"x.exe");
    registry_.AddProduct(kMachine, L"b", L"Hotfix (kb77)", L"x.exe");
    registry_.AddProduct(kMachine, L"c", L"Mixed (Kb12)", L"x.exe");
    registry_.AddProduct(kMachine, L"d", L"Mixed (kB12)", L"x.exe");
    registry_.AddProduct(kMachine, L"e", L"No bracket KB12", L"x.exe");
    // SystemComponent counts only as a non-zero REG_DWORD.
    const std::pair<const wchar_t*, DWORD> components[] = {{L"dword1", 1}, {L"dword7", 7}, {L"dword0", 0}};
    for (const auto& [key, value] : components) {
        registry_.AddProduct(kMachine, key, key, L"x.exe");
        registry_.WriteDword(kMachine, key, L"SystemComponent", value);
    }
    registry_.AddProduct(kMachine, L"text1", L"Shown Text", L"x.exe");
    registry_.WriteString(kMachine, L"text1", L"SystemComponent", L"1");
    // Parts of the operating system, named in any case and as any text type.
    registry_.AddProduct(kMachine, L"os", L"Part One", L"x.exe");
    registry_.WriteString(kMachine, L"os", L"ParentKeyName", L"operatingsystem");
    registry_.AddProduct(kMachine, L"ent", L"Part Two", L"x.exe");
    registry_.WriteString(kMachine, L"ent", L"ParentKeyName", L"Enterprise", REG_EXPAND_SZ);
    registry_.AddProduct(kMachine, L"other", L"Child Product", L"x.exe");
    registry_.WriteString(kMachine, L"other", L"ParentKeyName", L"Velmo Suite");
    registry_.AddProduct(kMachine, L"binary", L"Binary Parent", L"x.exe");
    const wchar_t os[] = L"OperatingSystem";
    registry_.WriteBinary(kMachine, L"binary", L"ParentKeyName", os, sizeof(os));

    EXPECT_EQ(AcceptedKeys(ScanMachine()),
        (std::vector<std::wstring>{L"KB", L"KBase Tool", L"XKB1", L"binary", L"c", L"d", L"dword0", L"e", L"other",
            L"text1"}));
}

TEST_F(UninstallScanTest, NameAndCommandMustBePresentNonEmptyText)
{
    registry_.WriteString(kMachine, L"noName", L"UninstallString", L"x.exe");
    registry_.AddProduct(kMachine, L"emptyName", L"", L"x.exe");
    const wchar_t name[] = L"Binary Name";
    registry_.WriteBinary(kMachine, L"binaryName", L"DisplayName", name, sizeof(name));
    registry_.WriteString(kMachine, L"binaryName", L"UninstallString", L"x.exe");
    registry_.WriteString(kMachine, L"noCommand", L"DisplayName", L"No Command");
    registry_.AddProduct(kMachine, L"emptyCommand", L"Empty Command", L"");
    registry_.WriteString(kMachine, L"dwordCommand", L"DisplayName", L"Dword Command");
    registry_.WriteDword(kMachine, L"dwordCommand", L"UninstallString", 5);
    registry_.AddProduct(kMachine, L"good", L"Good", L"x.exe");

    EXPECT_EQ(AcceptedKeys(ScanMachine()), (std::vector<std::wstring>{L"good"}));
}

TEST_F(UninstallScanTest, IconIsOptionalAndTextIsKeptUnexpanded)
{
    registry_.AddProduct(kMachine, L"noIcon", L"No Icon", L"x.exe");
    registry_.AddProduct(kMachine, L"dwordIcon", L"Dword Icon", L"x.exe");
    registry_.WriteDword(kMachine, L"dwordIcon", L"DisplayIcon", 3);
    registry_.WriteString(kMachine, L"expand", L"DisplayName", L"Expand");
    registry_.WriteString(kMachine, L"expand", L"UninstallString", L"%ProgramFiles%\\Velmo\\uninst.exe /x",
        REG_EXPAND_SZ);
    registry_.WriteString(kMachine, L"expand", L"DisplayIcon", L"%SystemRoot%\\icon.ico", REG_EXPAND_SZ);

    const InstalledEntryList list = ScanMachine();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(EntryFor(list, L"expand").UninstallString, L"%ProgramFiles%\\Velmo\\uninst.exe /x");
    EXPECT_EQ(EntryFor(list, L"expand").DisplayIcon, L"%SystemRoot%\\icon.ico");
    EXPECT_EQ(EntryFor(list, L"noIcon").DisplayIcon, L"");
    EXPECT_EQ(EntryFor(list, L"dwordIcon").DisplayIcon, L"");
}

TEST_F(UninstallScanTest, TextsUpTo259CharactersFitAndLongerOnesFail)
{
    const std::wstring fits(259, L'n');
    registry_.AddProduct(kMachine, L"nameFits", fits, L"x.exe");
    registry_.AddProduct(kMachine, L"nameLong", std::wstring(260, L'n'), L"x.exe");
    registry_.AddProduct(kMachine, L"commandFits", L"Command Fits", std::wstring(259, L'c'));
    registry_.AddProduct(kMachine, L"commandLong", L"Command Long", std::wstring(260, L'c'));
    registry_.AddProduct(kMachine, L"iconFits", L"Icon Fits", L"x.exe", std::wstring(259, L'i'));
    registry_.AddProduct(kMachine, L"iconLong", L"Icon Long", L"x.exe", std::wstring(600, L'i'));

    const InstalledEntryList list = ScanMachine();
    EXPECT_EQ(AcceptedKeys(list), (std::vector<std::wstring>{L"commandFits", L"iconFits", L"iconLong", L"nameFits"}));
    EXPECT_EQ(EntryFor(list, L"nameFits").DisplayName, fits);
    EXPECT_EQ(EntryFor(list, L"commandFits").UninstallString, std::wstring(259, L'c'));
    EXPECT_EQ(EntryFor(list, L"iconFits").DisplayIcon, std::wstring(259, L'i'));
    EXPECT_EQ(EntryFor(list, L"iconLong").DisplayIcon, L"");
}

TEST_F(UninstallScanTest, UnterminatedValuesAreNotReadBeyondTheBuffer)
{
    const std::wstring almost(259, L'y');
    registry_.WriteBinary(kMachine, L"almost", L"DisplayName", almost.data(), 518, REG_SZ);
    registry_.WriteString(kMachine, L"almost", L"UninstallString", L"x.exe");
    // 260 characters, no terminator: exactly the 520 bytes of the buffer.
    const std::wstring full(260, L'z');
    registry_.WriteBinary(kMachine, L"full", L"DisplayName", full.data(), 520, REG_SZ);
    registry_.WriteString(kMachine, L"full", L"UninstallString", L"x.exe");

    // Windows hands such a value over as it is; Wine refuses it for want of
    // room for a terminator. Either way nothing past the buffer may be read.
    wchar_t probe[260];
    DWORD bytes = sizeof(probe);
    const bool platformReadsFull =
        RegGetValueW(HKEY_LOCAL_MACHINE, (std::wstring(kUninstallKeyPath) + L"\\full").c_str(), L"DisplayName",
            RRF_RT_ANY | RRF_NOEXPAND, nullptr, probe, &bytes)
        == ERROR_SUCCESS;

    const std::vector<std::wstring> names = Names(ScanMachine());
    if (platformReadsFull) {
        EXPECT_EQ(names, (std::vector<std::wstring>{almost, full}));
    } else {
        EXPECT_EQ(names, (std::vector<std::wstring>{almost}));
    }
}

TEST_F(UninstallScanTest, SubkeyWhosePathWouldBeCutIsSkipped)
{
    // 51 + 1 + 207 = 259 characters still fit; one more would be cut.
    const std::wstring fits(207, L'f');
    const std::wstring tooLong(208, L'g');
    registry_.AddProduct(kMachine, fits, L"Fits", L"x.exe");
    registry_.AddProduct(kMachine, tooLong, L"Too Long", L"x.exe");
    // The key the cut path would name: must not be read in its place.
    registry_.AddProduct(kMachine, std::wstring(207, L'g'), L"Cut Target", L"y.exe");

    EXPECT_EQ(Names(ScanMachine()), (std::vector<std::wstring>{L"Fits", L"Cut Target"}));
}

TEST(SortByDisplayName, OrdersStablyAsLstrcmpiWDoes)
{
    // Locale-aware order: punctuation weighs less than letters, accents and
    // ligatures sort near their base letters, case is ignored.
    InstalledEntryList list = ListOf({L"velmo b", L"Apple", L"Velmo A", L"zeta", L"äther", L"10 Tool", L"2 Tool",
        L"_under", L"apple-pie", L"applepie", L"apple pie", L"co-op", L"coop", L"it's", L"its", L"Straße", L"strasse",
        L"é", L"E", L"e", L"速度软件", L"软件", L"a\u0301", L"á", L"-x", L"'x", L"x", L"A", L"a", L"Apple"});
    int key = 0;
    for (InstalledEntry& entry : list) {
        entry.KeyName = std::to_wstring(key++);
    }
    std::vector<InstalledEntry> expected(list.begin(), list.end());
    std::stable_sort(expected.begin(), expected.end(), [](const InstalledEntry& a, const InstalledEntry& b) {
        return lstrcmpiW(a.DisplayName.c_str(), b.DisplayName.c_str()) < 0;
    });

    SortByDisplayName(list);
    // Key names too: entries that compare equal keep their relative order.
    EXPECT_EQ(KeyNames(list), KeyNames(InstalledEntryList(expected.begin(), expected.end())));
}

TEST_F(UninstallScanTest, MachineEntryWinsOverUserEntryOfTheSameName)
{
    registry_.AddProduct(kUser, L"user", L"VELMO Guard", L"user.exe");
    registry_.AddProduct(kMachine, L"machine", L"Velmo Guard", L"machine.exe");

    InstalledEntryList list = ScanAll();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_TRUE(list.front().FromMachine);
    EXPECT_EQ(list.front().UninstallString, L"machine.exe");
}

TEST_F(UninstallScanTest, FirstEnumeratedWinsWithinOneRoot)
{
    // Keys enumerate in name order.
    registry_.AddProduct(kUser, L"b-second", L"velmo", L"second.exe");
    registry_.AddProduct(kUser, L"a-first", L"Velmo", L"first.exe");
    registry_.AddProduct(kUser, L"c-third", L"VELMO", L"third.exe");

    InstalledEntryList list = ScanAll();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list.front().KeyName, L"a-first");
}

TEST(RemoveDuplicateNames, ComparesAgainstTheLastSurvivorFoldingOnlyAsciiLetters)
{
    InstalledEntryList list = ListOf({L"a", L"A", L"b", L"a", L"B", L"b"});
    RemoveDuplicateNames(list);
    EXPECT_EQ(Names(list), (std::vector<std::wstring>{L"a", L"b", L"a", L"B"}));

    list = ListOf({L"Äpfel", L"äpfel", L"Straße", L"STRASSE"});
    RemoveDuplicateNames(list);
    EXPECT_EQ(list.size(), 4u);
}

} // namespace
