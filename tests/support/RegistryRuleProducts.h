#pragma once

#include "tests/support/ScratchRegistry.h"

#include <string>
#include <vector>

// A value written after a product's name and command.
struct Value {
    const wchar_t* name;
    std::wstring text;
    DWORD type = REG_SZ;
};

// A product key, in the machine root or the user's, and how the scan lists it ("" when it skips it):
// name|command|icon|key|root, a "*" marking a text stored as REG_EXPAND_SZ, "|I" a Windows Installer product.
struct RuleProduct {
    bool machine;
    std::wstring key, name, command;
    std::vector<Value> values;
    std::wstring listed;
};

// One product key or more for each rule of the uninstall registry scan.
std::vector<RuleProduct> RegistryRuleProducts();

// Writes every one of them into the scratch registry.
void WriteRegistryRuleProducts(ScratchRegistry& registry);
