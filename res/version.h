// The program's version, written here only: the version resource is made
// from it, and the build reads it for the name of the release.
#pragma once

#define FARROWGATE_VERSION_MAJOR 1
#define FARROWGATE_VERSION_MINOR 0
#define FARROWGATE_VERSION_PATCH 0
#define FARROWGATE_VERSION_BUILD 0
