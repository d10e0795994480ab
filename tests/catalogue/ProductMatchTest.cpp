#include "catalogue/ProductMatch.h"
#include "tests/support/ScratchRegistry.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

InstalledEntry Entry(const std::wstring& name, const std::wstring& command = L"u.exe")
{
    InstalledEntry entry;
    entry.DisplayName = name;
    entry.UninstallString = command;
    return entry;
}

TEST(IsTargetProduct, KeywordAtTheStartOnlyInAnyAsciiCase)
{
    for (const wchar_t* name : {L"Velmo Guard", L"velmo", L"VELMO Browser", L"vElMoX", L"Quellmar Updater", L"QUELLMAR",
             L"quellmar tools 2"}) {
        EXPECT_TRUE(IsTargetProduct(Entry(name))) << name;
    }
    for (const wchar_t* name :
        {L"My Velmo Tools", L" Velmo", L"(Velmo)", L"velm", L"quellma", L"Vel mo", L"Ｖelmo", L"Quëllmar", L""}) {
        EXPECT_FALSE(IsTargetProduct(Entry(name))) << name;
    }
}

TEST(SameEntries, ComparesOnlyNameAndCommand)
{
    InstalledEntryList shown = {Entry(L"Velmo A"), Entry(L"Velmo B")};
    InstalledEntryList fresh = shown;
    for (InstalledEntry& entry : fresh) {
        entry.Sequence = 42;
        entry.DisplayIcon = L"other.ico";
        entry.KeyName = L"other";
        entry.FromMachine = true;
    }
    EXPECT_TRUE(SameEntries(fresh, shown));

    fresh.back().UninstallString = L"U.exe";
    EXPECT_FALSE(SameEntries(fresh, shown));
    fresh.back() = Entry(L"velmo B");
    EXPECT_FALSE(SameEntries(fresh, shown));
}

TEST(SameEntries, SizeAndOrderMatter)
{
    const InstalledEntryList empty;
    EXPECT_TRUE(SameEntries(empty, InstalledEntryList{}));
    const InstalledEntryList one = {Entry(L"Velmo A")};
    const InstalledEntryList two = {Entry(L"Velmo A"), Entry(L"Velmo B")};
    const InstalledEntryList swapped = {Entry(L"Velmo B"), Entry(L"Velmo A")};
    EXPECT_FALSE(SameEntries(one, two));
    EXPECT_FALSE(SameEntries(two, one));
    EXPECT_FALSE(SameEntries(empty, one));
    EXPECT_FALSE(SameEntries(two, swapped));
}

TEST(CollectTargetProducts, KeepsTargetsInScanOrder)
{
    ScratchRegistry registry;
    registry.AddProduct(true, L"1", L"Velmo Zeta", L"z.exe");
    registry.AddProduct(true, L"2", L"Other Product", L"o.exe");
    registry.AddProduct(false, L"3", L"quellmar Alpha", L"q.exe");
    registry.AddProduct(false, L"4", L"My Velmo Tools", L"m.exe");
    registry.AddProduct(false, L"5", L"VELMO Mid", L"m.exe");
    registry.AddProduct(true, L"KB1234", L"Velmo Update", L"k.exe");

    InstalledEntryList list = {Entry(L"stale")};
    CollectTargetProducts(list);
    std::vector<std::wstring> names;
    for (const InstalledEntry& entry : list) {
        names.push_back(entry.DisplayName);
    }
    EXPECT_EQ(names, (std::vector<std::wstring>{L"quellmar Alpha", L"VELMO Mid", L"Velmo Zeta"}));
}

} // namespace
