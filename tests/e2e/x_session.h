// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

#pragma once

// Everything one end-to-end test needs in one object: a private X server
// (Xvfb), one connection to it, programs launched on it, their windows,
// pictures and keys. Focus, keys, resizing and killing go through libxdo,
// xdotool's library; pixels, the window-manager probe and the search by
// title (see findWindow) through Xlib. Xlib itself stays out of this header (its macros clash
// with other code). Programs launched are returned to the caller; destroy
// them (or let them end) before the session.

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/child_process.h"
#include "tests/e2e/rgb_image.h"

struct _XDisplay;  // NOLINT(bugprone-reserved-identifier): Xlib names it so
struct xdo;

namespace e2e {

// An X window id (Xlib's Window).
using WindowId = unsigned long;

struct WindowGeometry {
    int x = 0;  // of the top-left corner inside the border, relative to the root
    int y = 0;
    int width = 0;
    int height = 0;
};

struct PictureWait {
    bool settled = false;  // false: timed out
    RgbImage picture;      // the picture that settled, or the last one seen
};

class XSession {
public:
    // Throws std::runtime_error (with the server's own messages) when Xvfb
    // cannot be started or does not report ready in time.
    XSession();
    ~XSession();

    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    // Starts `argv` with DISPLAY set to this session's server, plus `environment`.
    ChildProcess launch(const std::vector<std::string>& argv, const Environment& environment = {});

    // A viewable window whose title is exactly `title`; one look, no waiting.
    std::optional<WindowId> findWindow(const std::string& title);
    // Throws std::runtime_error when the window no longer exists.
    WindowGeometry geometry(WindowId window);
    // The window's pixels as the server holds them, all or only those of
    // `box` (cheap enough to poll after every frame). The window must be
    // viewable and lie inside the screen (XGetImage's rule); throws otherwise.
    RgbImage capture(WindowId window);
    RgbImage capture(WindowId window, Box box);
    // Asks the server for a new size (a window manager, if any, may refuse).
    void resize(WindowId window, int width, int height);
    // Focuses the window and puts the pointer over its centre, so that key
    // events reach it with no window manager around.
    void focus(WindowId window);
    // Real key presses and releases through XTest, to the focused window, as
    // a keyboard gives them: each an X keysym, optionally with modifiers
    // ("space", "Return", "ctrl+a"). pressKeys sends them back to back.
    void pressKey(const std::string& keysym);
    void pressKeys(const std::vector<std::string>& keysyms, unsigned delayMicroseconds = 0);
    // Ends the window's client as a window manager does one that ignores a
    // polite close (XKillClient).
    void killClient(WindowId window);
    // True when some client (a window manager) redirects the root window's
    // children, as only a window manager may.
    bool windowManagerRunning();

    // Captures the window, for `timeout` at most, until its picture has stayed
    // the same for `settle` (then it counts as finished) and `accept` holds for it.
    PictureWait waitForStablePicture(WindowId window, const std::function<bool(const RgbImage&)>& accept,
                                     std::chrono::milliseconds settle = std::chrono::milliseconds(150),
                                     std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // The first drawn picture: stable and not of a single colour, as a
    // window is before its first frame.
    PictureWait waitForDrawnPicture(WindowId window,
                                    std::chrono::milliseconds timeout = std::chrono::seconds(10));

private:
    std::optional<ChildProcess> server_;
    std::string name_;
    _XDisplay* display_ = nullptr;
    xdo* xdo_ = nullptr;
};

// The X keysym name of a printable ASCII character ("exclam" for '!').
std::string keysymName(char character);

// A display name that no server answers: no socket or lock file exists for
// it. For checking how a program fails without a display.
std::string unservedDisplayName();

}  // namespace e2e
