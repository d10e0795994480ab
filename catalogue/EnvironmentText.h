#pragma once

#include <string>

// Expands the environment references (%NAME%) of a stored REG_EXPAND_SZ value
// as the platform does, to whatever length the expansion needs. False, with
// expanded untouched, when the expansion fails or the result, terminator
// included, would exceed capacity characters.
bool ExpandEnvironmentText(const std::wstring& text, unsigned capacity, std::wstring& expanded);
