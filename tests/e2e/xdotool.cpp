#include "xdotool.h"

#include <chrono>
#include <stdexcept>

#include "tests/e2e/child_process.h"

namespace e2e {

std::string runXdotool(const std::string& displayName, const std::vector<std::string>& arguments,
                       std::chrono::milliseconds timeout) {
    LaunchOptions options;
    options.argv = {"xdotool"};
    options.argv.insert(options.argv.end(), arguments.begin(), arguments.end());
    options.environment["DISPLAY"] = displayName;
    ChildProcess xdotool(options);
    const std::optional<ExitStatus> status = xdotool.waitFor(timeout);
    if (!status || !status->exitedWith(0)) {
        throw std::runtime_error("'" + xdotool.commandLine() + "' failed (" +
                                 (status ? status->describe() : "timed out") +
                                 "): " + xdotool.stderrText());
    }
    return xdotool.stdoutText();
}

void pressKey(const std::string& displayName, const std::string& keysym) {
    runXdotool(displayName, {"key", keysym});
}

void pressKeys(const std::string& displayName, const std::vector<std::string>& keysyms) {
    std::vector<std::string> arguments = {"key", "--delay", "0"};
    arguments.insert(arguments.end(), keysyms.begin(), keysyms.end());
    // Generous: here 500 keys take about a tenth of a second.
    runXdotool(displayName, arguments,
               std::chrono::seconds(10) + std::chrono::milliseconds(20) * keysyms.size());
}

void movePointer(const std::string& displayName, int x, int y) {
    // --sync waits for the pointer to move, which it never does when it is
    // already there.
    const std::string at = runXdotool(displayName, {"getmouselocation", "--shell"});
    if (at.rfind("X=" + std::to_string(x) + "\nY=" + std::to_string(y) + "\n", 0) == 0) {
        return;
    }
    runXdotool(displayName, {"mousemove", "--sync", std::to_string(x), std::to_string(y)});
}

}  // namespace e2e
