#pragma once

#include <string>

// Starts the command line as a detached process and lets it go: no waiting,
// no handle kept. True when a process was created; failures show nothing.
bool LaunchUninstaller(const std::wstring& commandLine);
