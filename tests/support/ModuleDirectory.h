#pragma once

#include <string>

// The folder the test program runs from, without a trailing backslash: the
// build puts the files and helper programs the tests use next to it.
std::wstring ModuleDirectory();
