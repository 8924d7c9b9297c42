#pragma once

// One Xlib connection to a display: finds windows by title, reads their
// place, size and pixels, and gives them the keyboard focus. Xlib itself
// stays out of this header (its macros clash with other code).

#include <chrono>
#include <optional>
#include <string>

#include "tests/e2e/rgb_image.h"

struct _XDisplay;  // NOLINT(bugprone-reserved-identifier): Xlib names it so

namespace e2e {

// An X window id (Xlib's Window).
using WindowId = unsigned long;

struct WindowGeometry {
    int x = 0;  // of the top-left corner inside the border, relative to the root
    int y = 0;
    int width = 0;
    int height = 0;
    bool viewable = false;
};

class XClient {
public:
    // Throws std::runtime_error when the display cannot be opened.
    explicit XClient(const std::string& displayName);
    ~XClient();

    XClient(const XClient&) = delete;
    XClient& operator=(const XClient&) = delete;

    // A window whose title (WM_NAME) is exactly `title`, viewable ones first;
    // one look, no waiting.
    std::optional<WindowId> findWindow(const std::string& title);
    // Waits until such a window exists and is viewable; throws on timeout.
    WindowId waitForWindow(const std::string& title, std::chrono::milliseconds timeout);

    // Throws std::runtime_error when the window no longer exists.
    WindowGeometry geometry(WindowId window);
    // The window's pixels as the server holds them. The window must be
    // viewable and lie inside the screen (XGetImage's rule); throws otherwise.
    RgbImage capture(WindowId window);
    // Only the pixels of `box`, which must lie inside the window: cheap
    // enough to poll after every frame.
    RgbImage capture(WindowId window, Box box);
    // Asks the server for a new size (a window manager, if any, may refuse).
    void resize(WindowId window, int width, int height);
    // Gives the window the keyboard focus: with no window manager nobody else will.
    void focus(WindowId window);

    // One press and release through XTest, like xdotool's but without
    // starting a process: for thousands of keys in a row. The keysym must
    // sit on the first level of a key (no modifier needed); throws otherwise.
    void pressKey(const std::string& keysym);

    // True when some client (a window manager) redirects the root window's
    // children, as only a window manager may.
    bool windowManagerRunning();

    _XDisplay* raw() { return display_; }

private:
    _XDisplay* display_ = nullptr;
};

}  // namespace e2e
