#pragma once

#include <string>

// Expands the environment references (%NAME%) of a stored REG_EXPAND_SZ value
// as the platform does. False, with expanded untouched, when the expansion
// fails or the result would not fit kStoredTextCapacity characters.
bool ExpandEnvironmentText(const std::wstring& text, std::wstring& expanded);
