// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

#include "e2e_gtest.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <set>
#include <sstream>
#include <stdexcept>

#include "tests/e2e/child_process.h"

namespace e2e {

std::string environmentOr(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : fallback;
}

bool endToEndRequired() {
    return environmentOr("SURFACE_VIEWER_REQUIRE_E2E", "") == "1";
}

std::string missingPrograms(const std::vector<std::string>& programs) {
    std::string missing;
    for (const std::string& program : programs) {
        if (!findProgram(program)) {
            missing += (missing.empty() ? "" : " ") + program;
        }
    }
    return missing;
}

std::vector<std::string> commandFromEnvironment(const char* variable,
                                                const std::vector<std::string>& fallback) {
    std::istringstream stream(environmentOr(variable, ""));
    std::vector<std::string> words{std::istream_iterator<std::string>(stream), {}};
    return words.empty() ? fallback : words;
}

namespace {

std::string currentTestName() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = test != nullptr ? std::string(test->test_suite_name()) + "." + test->name()
                                       : std::string("outside-a-test");
    std::replace(name.begin(), name.end(), '/', '_');  // parameterised test names
    return name;
}

std::string folderInWorkingDirectory(const std::string& leaf) {
    const std::filesystem::path folder = std::filesystem::current_path() / leaf;
    std::error_code ignored;  // writing into it then fails and says so
    std::filesystem::create_directories(folder, ignored);
    return folder.string();
}

}  // namespace

void reportFigure(const std::string& text) {
    const std::string name = currentTestName();
    std::cout << "[ FIGURE   ] " << name << ": " << text << std::endl;
    // The first figure of a test in this process starts its file afresh.
    static std::set<std::string> started;
    const bool first = started.insert(name).second;
    std::ofstream file(folderInWorkingDirectory("e2e-figures") + "/" + name + ".txt",
                       first ? std::ios::trunc : std::ios::app);
    file << name << ": " << text << "\n";
}

std::string keepPicture(const RgbImage& picture, const std::string& label) {
    const std::string path =
        folderInWorkingDirectory("e2e-pictures") + "/" + currentTestName() + "-" + label + ".png";
    try {
        writePng(path, picture);
    } catch (const std::exception& error) {
        return std::string("\n(could not keep the picture: ") + error.what() + ")";
    }
    return "\nthe picture it got: " + path;
}

}  // namespace e2e
