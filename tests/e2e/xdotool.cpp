#include "xdotool.h"

#include <chrono>
#include <stdexcept>

#include "tests/e2e/child_process.h"

namespace e2e {

void runXdotool(const std::string& displayName, const std::vector<std::string>& arguments) {
    LaunchOptions options;
    options.argv = {"xdotool"};
    options.argv.insert(options.argv.end(), arguments.begin(), arguments.end());
    options.environment["DISPLAY"] = displayName;
    ChildProcess xdotool(options);
    const std::optional<ExitStatus> status = xdotool.waitFor(std::chrono::seconds(5));
    if (!status || !status->exitedWith(0)) {
        throw std::runtime_error("'" + xdotool.commandLine() + "' failed (" +
                                 (status ? status->describe() : "timed out") +
                                 "): " + xdotool.stderrText());
    }
}

void pressKey(const std::string& displayName, const std::string& keysym) {
    runXdotool(displayName, {"key", keysym});
}

void movePointer(const std::string& displayName, int x, int y) {
    runXdotool(displayName, {"mousemove", "--sync", std::to_string(x), std::to_string(y)});
}

}  // namespace e2e
