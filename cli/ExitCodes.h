#pragma once

#include <windows.h>

// The exit codes, the platform's own error codes so that deployment engines
// read them as they read an installer's.
constexpr int kExitDone = ERROR_SUCCESS;                            // 0
constexpr int kExitRestartRequired = ERROR_SUCCESS_REBOOT_REQUIRED; // 3010
constexpr int kExitBadArguments = ERROR_INVALID_PARAMETER;          // 87
constexpr int kExitUnknownProduct = ERROR_UNKNOWN_PRODUCT;          // 1605
constexpr int kExitNoQuietUninstall = ERROR_NOT_SUPPORTED;          // 50
constexpr int kExitStillPresent = ERROR_INSTALL_FAILURE;            // 1603
constexpr int kExitTimedOut = ERROR_TIMEOUT;                        // 1460
constexpr int kExitDeclined = ERROR_CANCELLED;                      // 1223
constexpr int kExitNotStarted = ERROR_FILE_NOT_FOUND;               // 2
