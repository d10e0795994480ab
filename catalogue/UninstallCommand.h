#pragma once

#include "catalogue/InstalledEntry.h"

#include <string>

// The product code of a Windows Installer registration whose stored command
// opens the product's maintenance mode ("MsiExec.exe /I{code}"), which
// removes nothing. False, with code untouched, for any other entry.
bool InstallerMaintenanceCode(const InstalledEntry& entry, std::wstring& code);

// What "卸载" starts for the entry: the removal "<system folder>\msiexec.exe"
// /X{code} where
// the stored command would open the maintenance mode, else the stored
// command exactly as it is (its environment references unexpanded).
std::wstring UninstallCommand(const InstalledEntry& entry);

// The product code of a Windows Installer registration, which the Installer
// names its key after. False, with code untouched, for any other entry.
bool InstallerProductCode(const InstalledEntry& entry, std::wstring& code);

// What an unattended removal starts: the key's QuietUninstallString when it
// has one, else for a Windows Installer product its removal without any
// dialog or restart. False, with command and expandable untouched, when the
// product has no quiet way of removal.
bool QuietUninstallCommand(const InstalledEntry& entry, std::wstring& command, bool& expandable);
