#pragma once

#include <string>
#include <vector>

// farrowgate-cli: the products the window lists, listed and removed from a
// command line (the usage text in FarrowgateCli.cpp says how). args are the
// arguments after the program's name; returns the exit code.
int RunFarrowgateCli(const std::vector<std::wstring>& args);
