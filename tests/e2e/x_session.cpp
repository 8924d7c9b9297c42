#include "x_session.h"

#include "tests/e2e/xdotool.h"

namespace e2e {

XSession::XSession(const VirtualDisplayOptions& options)
    : display_(options), client_(display_.name()) {}

ChildProcess XSession::launch(const std::vector<std::string>& argv,
                              const std::map<std::string, std::optional<std::string>>& environment) {
    LaunchOptions options;
    options.argv = argv;
    options.environment = environment;
    options.environment["DISPLAY"] = display_.name();
    return ChildProcess(options);
}

WindowId XSession::waitForWindow(const std::string& title, std::chrono::milliseconds timeout) {
    return client_.waitForWindow(title, timeout);
}

void XSession::focus(WindowId window) {
    client_.focus(window);
    const WindowGeometry place = client_.geometry(window);
    movePointer(display_.name(), place.x + place.width / 2, place.y + place.height / 2);
}

void XSession::pressKey(const std::string& keysym) {
    e2e::pressKey(display_.name(), keysym);
}

}  // namespace e2e
