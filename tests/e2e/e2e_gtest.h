// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

#pragma once

// GoogleTest glue for end-to-end tests: skipping where the tools are missing
// (failing instead where they are required), and keeping the picture a
// failing check saw.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/rgb_image.h"

namespace e2e {

// True when SURFACE_VIEWER_REQUIRE_E2E=1: missing tools are then a failure.
bool endToEndRequired();

// The names of `programs` not found in PATH, space-separated; empty if none.
std::string missingPrograms(const std::vector<std::string>& programs);

// The value of the environment variable `name`, or `fallback` when it is
// unset or empty.
std::string environmentOr(const char* name, const std::string& fallback);

// The words of the environment variable `variable` (split at blanks) when it
// is set and not empty, `fallback` otherwise. Lets a run swap the program
// under test, e.g. for one that needs a launcher in front.
std::vector<std::string> commandFromEnvironment(const char* variable,
                                                const std::vector<std::string>& fallback);

// Writes `picture` as <working directory>/e2e-pictures/<suite>.<test>-<label>.png
// and returns a line saying where, to append to a failure message. Meant for
// the `<<` of an EXPECT/ASSERT, which is only evaluated when the check fails.
std::string keepPicture(const RgbImage& picture, const std::string& label);

// Prints a measured figure of the running test ("[ FIGURE ] Suite.Test: text")
// and keeps it in <working directory>/e2e-figures/Suite.Test.txt, one line per
// call, so that a summary can be printed after a quiet test run.
void reportFigure(const std::string& text);

}  // namespace e2e

// Skips the test when a program it needs is missing, or fails it when
// SURFACE_VIEWER_REQUIRE_E2E=1. Use in a test body or SetUp().
#define E2E_REQUIRE_PROGRAMS(...)                                                        \
    do {                                                                                 \
        const std::string e2eMissing_ = ::e2e::missingPrograms({__VA_ARGS__});           \
        if (!e2eMissing_.empty()) {                                                      \
            if (::e2e::endToEndRequired()) {                                             \
                FAIL() << "not installed: " << e2eMissing_                               \
                       << " (required because SURFACE_VIEWER_REQUIRE_E2E=1)";            \
            }                                                                            \
            GTEST_SKIP() << "not installed: " << e2eMissing_                             \
                         << " (set SURFACE_VIEWER_REQUIRE_E2E=1 to fail instead)";       \
        }                                                                                \
    } while (false)
