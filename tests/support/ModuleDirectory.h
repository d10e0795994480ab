#pragma once

#include <string>

// The running test program's own file.
std::wstring ModulePath();
// The folder the test program runs from, without a trailing backslash: the
// build puts the files and helper programs the tests use next to it.
std::wstring ModuleDirectory();
