#pragma once

#include "tests/support/DibCanvas.h"

#include <gtest/gtest.h>

#include <string>

// Whether a canvas shows, pixel for pixel, the image <name>.png that the build puts next to the test
// program from tests/golden. When it does not, the canvas is written beside it as <name>.actual.png,
// with <name>.diff.png marking each differing pixel red on a faded copy. With FARROWGATE_REWRITE_GOLDEN
// naming a folder (scripts/rewrite-golden), the canvas is written there as the new <name>.png instead.
::testing::AssertionResult LooksLike(const DibCanvas& canvas, const std::wstring& name);
