#pragma once

#include "tests/support/DibCanvas.h"

#include <gtest/gtest.h>

#include <string>

// Whether a canvas shows, pixel for pixel, the image <name>.png the build puts next to the test program from
// tests/golden; if not, <name>.actual.png and <name>.diff.png (each differing pixel red) are written beside it. With
// FARROWGATE_REWRITE_GOLDEN naming a folder (tests/golden/rewrite), the canvas is written there as <name>.png instead.
::testing::AssertionResult LooksLike(const DibCanvas& canvas, const std::wstring& name);
