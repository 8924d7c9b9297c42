#pragma once

// Everything one end-to-end test needs in one object: a private X server, a
// connection to it, programs launched on it, their windows, pictures and
// keys. Members are torn down in the safe order: the connection closes before
// the server stops. Programs launched are returned to the caller; destroy
// them (or let them end) before the session.

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/child_process.h"
#include "tests/e2e/picture_wait.h"
#include "tests/e2e/rgb_image.h"
#include "tests/e2e/virtual_display.h"
#include "tests/e2e/x_client.h"

namespace e2e {

class XSession {
public:
    explicit XSession(const VirtualDisplayOptions& options = {});

    const std::string& displayName() const { return display_.name(); }
    XClient& client() { return client_; }

    // Starts `argv` with DISPLAY set to this session's server, plus
    // `environment` (set a value, or remove with nullopt).
    ChildProcess launch(const std::vector<std::string>& argv,
                        const std::map<std::string, std::optional<std::string>>& environment = {});

    WindowId waitForWindow(const std::string& title,
                           std::chrono::milliseconds timeout = std::chrono::seconds(10));
    WindowGeometry geometry(WindowId window) { return client_.geometry(window); }
    RgbImage capture(WindowId window) { return client_.capture(window); }

    // Focuses the window and puts the pointer over its centre, so that key
    // events reach it with no window manager around.
    void focus(WindowId window);
    // One real key press and release (an X keysym name), to the focused window.
    void pressKey(const std::string& keysym);

private:
    VirtualDisplay display_;
    XClient client_;
};

}  // namespace e2e
