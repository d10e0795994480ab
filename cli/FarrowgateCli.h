#pragma once

#include <string>
#include <vector>

// farrowgate-cli: the products the window lists, listed and removed from a
// command line (the usage text in FarrowgateCli.cpp says how). args are the
// arguments after the program's name; elevated says whether the process runs
// with administrator rights, when per-user products are taken only if asked
// for. Returns the exit code.
int RunFarrowgateCli(const std::vector<std::wstring>& args, bool elevated);
