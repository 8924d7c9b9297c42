#include "e2e_gtest.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <stdexcept>

#include "tests/e2e/child_process.h"

namespace e2e {

bool endToEndRequired() {
    const char* value = std::getenv("SURFACE_VIEWER_REQUIRE_E2E");
    return value != nullptr && std::string(value) == "1";
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
                                                std::vector<std::string> fallback) {
    const char* value = std::getenv(variable);
    std::vector<std::string> words;
    std::istringstream stream(value != nullptr ? value : "");
    for (std::string word; stream >> word;) {
        words.push_back(word);
    }
    return words.empty() ? fallback : words;
}

std::string keepPicture(const RgbImage& picture, const std::string& label) {
    std::string name = label;
    if (const ::testing::TestInfo* test =
            ::testing::UnitTest::GetInstance()->current_test_info()) {
        name = std::string(test->test_suite_name()) + "." + test->name() + "-" + label;
    }
    for (char& c : name) {
        if (c == '/') c = '_';  // parameterised test names
    }
    char cwd[4096];
    const std::string folder =
        std::string(getcwd(cwd, sizeof cwd) != nullptr ? cwd : ".") + "/e2e-pictures";
    mkdir(folder.c_str(), 0755);
    const std::string path = folder + "/" + name + ".png";
    try {
        writePng(path, picture);
    } catch (const std::exception& error) {
        return std::string("\n(could not keep the picture: ") + error.what() + ")";
    }
    return "\nthe picture it got: " + path;
}

}  // namespace e2e
