#pragma once

#include "catalogue/InstalledEntry.h"

#include <string>

// The product code of a Windows Installer registration whose stored command
// opens the product's maintenance mode ("MsiExec.exe /I{code}"), which
// removes nothing. False, with code untouched, for any other entry.
bool InstallerMaintenanceCode(const InstalledEntry& entry, std::wstring& code);

// What "卸载" starts for the entry: the removal "MsiExec.exe /X{code}" where
// the stored command would open the maintenance mode, else the stored
// command exactly as it is (its environment references unexpanded).
std::wstring UninstallCommand(const InstalledEntry& entry);
