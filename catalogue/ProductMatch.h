#pragma once

#include "catalogue/InstalledEntry.h"

// True when the display name begins with "velmo" or "quellmar" in any ASCII case.
bool IsTargetProduct(const InstalledEntry& entry);

// A fresh scan, keeping only the vendor family's products in scan order.
void CollectTargetProducts(InstalledEntryList& list);

// The same without dropping duplicate names: every registration of the
// family's products, sorted by display name, each name's in scan order. A key
// both registry views show with the same name and command counts once.
void CollectTargetRegistrations(InstalledEntryList& list);

// Same size and, position by position, the same DisplayName and
// UninstallString (exact comparison of the stored text, and of whether it is
// expandable or a Windows Installer registration, since either changes the
// command run). Other fields do not count.
bool SameEntries(const InstalledEntryList& fresh, const InstalledEntryList& shown);
