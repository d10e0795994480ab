#include "tests/support/RegistryRuleProducts.h"

std::vector<RuleProduct> RegistryRuleProducts()
{
    const std::wstring n(259, L'n'), c(259, L'c'), i(259, L'i'), f207(207, L'f'), g207(207, L'g'), longest(32766, L'c');
    const wchar_t *icon = L"DisplayIcon", *command = L"UninstallString", *component = L"SystemComponent",
                  *msi = L"WindowsInstaller";
    return {
        {true, L"Kb9", L"Update", L"x", {}, L""},
        {false, L"kB0", L"Update 0", L"x", {}, L""},
        {true, L"fixLower", L"Fix (kb77)", L"x", {}, L""},
        {true, L"fixUpper", L"Fix (KB12)", L"x", {}, L""},
        {true, L"sc", L"SC", L"x", {{component, L"1", REG_DWORD}}, L""},
        {true, L"sc2", L"SC2", L"x", {{component, L"2", REG_DWORD}}, L""},
        {true, L"os", L"OS", L"x", {{L"ParentKeyName", L"operatingsystem"}}, L""},
        {true, L"ent", L"Ent", L"x", {{L"ParentKeyName", L"Enterprise", REG_EXPAND_SZ}}, L""},
        {true, L"emptyName", L"", L"x", {}, L""},
        {true, L"emptyCommand", L"Empty Command", L"", {}, L""},
        {true, L"dwordCommand", L"Dword Command", L"x", {{command, L"5", REG_DWORD}}, L""},
        {true, L"longName", n + L"n", L"x", {}, n + L"n|x||longName|M"},
        {true, L"KBase", L"My Velmo", L"x", {{component, L"0", REG_DWORD}, {icon, i + L"i"}, {msi, L"1", REG_DWORD}},
            L"My Velmo|x|" + i + L"i|KBase|M|I"},
        {true, L"XKB1", L"Ｖelmo (Kb1)", L"x",
            {{component, L"1"}, {icon, L"3", REG_DWORD}, {L"ParentKeyName", L"OperatingSystem", REG_BINARY}},
            L"Ｖelmo (Kb1)|x||XKB1|M"},
        {true, L"e", L"äx", L"", {{command, L"%T%", REG_EXPAND_SZ}, {icon, L"%I%", REG_EXPAND_SZ}},
            L"äx|%T%*|%I%*|e|M"},
        {true, L"{A1}", L"Velmo Guard", L"\"C:\\u\" /S", {{icon, L"g.exe,2"}},
            L"Velmo Guard|\"C:\\u\" /S|g.exe,2|{A1}|M"},
        // The name is written again without its terminator, and read no further.
        {true, L"fits", n, c, {{icon, i}}, n + L"|" + c + L"|" + i + L"|fits|M"},
        // Key paths take 259 characters; a longer one must not be read as the key it would be cut to.
        {true, f207, L"apple-pie", L"x", {}, L"apple-pie|x||" + f207 + L"|M"},
        {true, g207 + L"g", L"Too Long", L"x", {}, L""},
        {true, g207, L"apple pie", L"x", {}, L"apple pie|x||" + g207 + L"|M"},
        {false, L"user", L"VELMO Guard", L"x", {}, L""}, // the machine root wins a name
        {false, L"b", L"quellmar", L"b", {}, L""},       // then the key met first
        {false, L"a", L"QuellMAR", L"a", {{msi, L"2", REG_DWORD}}, L"QuellMAR|a||a|U"},
        {true, L"part", L"Part", L"x", {{L"ParentKeyName", L"Velmo Suite"}, {msi, L"1"}}, L"Part|x||part|M"},
        // Texts are read at their size, up to the longest command line.
        {true, L"long", L"Long", longest, {}, L"Long|" + longest + L"||long|M"},
        {true, L"tooLong", L"Too Long Command", longest + L"c", {}, L""},
    };
}

void WriteRegistryRuleProducts(ScratchRegistry& registry)
{
    for (const RuleProduct& product : RegistryRuleProducts()) {
        registry.AddProduct(product.machine, product.key, product.name, product.command);
        for (const auto& [name, text, type] : product.values) {
            registry.Write(product.machine, product.key, name, text, type);
        }
    }
    registry.Write(true, L"fits", L"DisplayName", std::wstring(259, L'n'), REG_SZ, false);
}
