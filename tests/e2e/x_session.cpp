// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

#include "x_session.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <thread>

extern "C" {
#include <xdo.h>
}

namespace e2e {

namespace {

// Xlib's default handler ends the process on any protocol error, e.g. when
// a window disappears between two requests; record the error instead.
int lastErrorCode = 0;

int recordError(Display*, XErrorEvent* event) {
    lastErrorCode = event->error_code;
    return 0;
}

int reportLostConnection(Display*) {
    std::fprintf(stderr, "e2e: lost the connection to the X server (did it end?)\n");
    return 0;  // Xlib then ends the process: nothing else can be done
}

// Runs `request`, one that the server does not answer, and says whether it
// got through without an error.
template <typename Request>
bool succeeds(Display* display, Request request) {
    XSync(display, False);
    lastErrorCode = 0;
    const bool ok = request();
    XSync(display, False);
    return ok && lastErrorCode == 0;
}

// One channel of a TrueColor pixel, whatever its mask, in 8 bits.
std::uint8_t channel(unsigned long pixel, unsigned long mask) {
    if (mask == 0) return 0;
    const int shift = __builtin_ctzl(mask);
    return static_cast<std::uint8_t>(((pixel & mask) >> shift) * 255 / (mask >> shift));
}

}  // namespace

XSession::XSession() {
    // -displayfd: the server itself picks a free display number and writes
    // it, with a newline, once it accepts connections, so there is no race
    // with other servers starting at the same time.
    server_.emplace(std::vector<std::string>{"Xvfb", "-displayfd", "1", "-screen", "0",
                                             "1024x768x24", "-nolisten", "tcp", "-noreset"});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::string report;
    while ((report = server_->stdoutText()).find('\n') == std::string::npos) {
        if (!server_->running() || std::chrono::steady_clock::now() >= deadline) {
            const ExitStatus status = server_->stop();
            throw std::runtime_error("Xvfb did not report ready (" + status.describe() +
                                     "); it said:\n" + server_->stderrText());
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    name_ = ":" + report.substr(0, report.find('\n'));

    XSetErrorHandler(recordError);
    XSetIOErrorHandler(reportLostConnection);
    display_ = XOpenDisplay(name_.c_str());
    xdo_ = display_ != nullptr ? xdo_new_with_opened_display(display_, name_.c_str(), 1) : nullptr;
    if (xdo_ == nullptr) {
        if (display_ != nullptr) XCloseDisplay(display_);
        throw std::runtime_error("cannot open X display " + name_);
    }
}

XSession::~XSession() {
    xdo_free(xdo_);  // closes the connection, before the server goes
    // SIGTERM first, so the server removes its socket and lock file.
    server_->stop(std::chrono::milliseconds(2000));
}

ChildProcess XSession::launch(const std::vector<std::string>& argv, const Environment& environment) {
    Environment withDisplay = environment;
    withDisplay["DISPLAY"] = name_;
    return ChildProcess(argv, withDisplay);
}

// Not libxdo's search: its xdo_get_window_name keeps the atoms it interns in
// statics, valid only on the first display the process opened, so a second
// session (the Wine test's native viewer) finds no window at all.
std::optional<WindowId> XSession::findWindow(const std::string& title) {
    std::vector<Window> pending = {DefaultRootWindow(display_)};
    while (!pending.empty()) {
        const Window window = pending.back();
        pending.pop_back();
        // Windows may go meanwhile: each request here then fails with a status.
        char* name = nullptr;
        const bool named = XFetchName(display_, window, &name) != 0 && name != nullptr && title == name;
        if (name != nullptr) XFree(name);
        XWindowAttributes attributes{};
        if (named && XGetWindowAttributes(display_, window, &attributes) != 0 &&
            attributes.map_state == IsViewable) {
            return window;
        }
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (XQueryTree(display_, window, &root, &parent, &children, &count) != 0) {
            pending.insert(pending.end(), children, children + count);
        }
        if (children != nullptr) XFree(children);
    }
    return std::nullopt;
}

WindowGeometry XSession::geometry(WindowId window) {
    XWindowAttributes attributes{};
    Window child = 0;
    WindowGeometry result;
    if (XGetWindowAttributes(display_, window, &attributes) == 0 ||
        XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &result.x,
                              &result.y, &child) == 0) {
        throw std::runtime_error("window " + std::to_string(window) + " is gone");
    }
    result.width = attributes.width;
    result.height = attributes.height;
    return result;
}

RgbImage XSession::capture(WindowId window) {
    const WindowGeometry place = geometry(window);
    return capture(window, Box{0, 0, place.width, place.height});
}

RgbImage XSession::capture(WindowId window, Box box) {
    XImage* image = XGetImage(display_, window, box.x, box.y, static_cast<unsigned>(box.width),
                              static_cast<unsigned>(box.height), AllPlanes, ZPixmap);
    if (image == nullptr) {
        throw std::runtime_error("cannot read the pixels of window " + std::to_string(window) +
                                 " (unmapped, or partly off the screen?)");
    }
    RgbImage result(box.width, box.height);
    for (int y = 0; y < box.height; ++y) {
        for (int x = 0; x < box.width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            result.set(x, y, {channel(pixel, image->red_mask), channel(pixel, image->green_mask),
                              channel(pixel, image->blue_mask)});
        }
    }
    XDestroyImage(image);
    return result;
}

void XSession::resize(WindowId window, int width, int height) {
    if (!succeeds(display_, [&] { return xdo_set_window_size(xdo_, window, width, height, 0) == XDO_SUCCESS; })) {
        throw std::runtime_error("cannot resize window " + std::to_string(window));
    }
}

void XSession::focus(WindowId window) {
    const WindowGeometry place = geometry(window);
    if (!succeeds(display_, [&] { return xdo_focus_window(xdo_, window) == XDO_SUCCESS; }) ||
        !succeeds(display_, [&] {
            return xdo_move_mouse(xdo_, place.x + place.width / 2, place.y + place.height / 2, 0) ==
                   XDO_SUCCESS;
        })) {
        throw std::runtime_error("cannot focus window " + std::to_string(window));
    }
}

void XSession::pressKeys(const std::vector<std::string>& keysyms, unsigned delayMicroseconds) {
    for (const std::string& keysym : keysyms) {
        // CURRENTWINDOW: XTest events to the focused window, never the
        // synthetic events sent to one window, which many clients ignore.
        if (xdo_send_keysequence_window(xdo_, CURRENTWINDOW, keysym.c_str(), delayMicroseconds) !=
            XDO_SUCCESS) {
            throw std::runtime_error("cannot send the key '" + keysym + "'");
        }
    }
    XSync(display_, False);
}

void XSession::pressKey(const std::string& keysym) {
    pressKeys({keysym}, 12000);  // xdotool's own pace
}

void XSession::killClient(WindowId window) {
    if (!succeeds(display_, [&] { return xdo_kill_window(xdo_, window) == XDO_SUCCESS; })) {
        throw std::runtime_error("cannot kill the client of window " + std::to_string(window));
    }
}

bool XSession::windowManagerRunning() {
    // Selecting SubstructureRedirect on the root fails with BadAccess while
    // another client holds it; if it succeeds, give it straight back.
    const Window root = DefaultRootWindow(display_);
    if (!succeeds(display_, [&] {
            XSelectInput(display_, root, SubstructureRedirectMask);
            return true;
        })) {
        return true;
    }
    XSelectInput(display_, root, NoEventMask);
    XSync(display_, False);
    return false;
}

PictureWait XSession::waitForStablePicture(WindowId window,
                                           const std::function<bool(const RgbImage&)>& accept,
                                           std::chrono::milliseconds settle,
                                           std::chrono::milliseconds timeout) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + timeout;
    PictureWait result;
    auto unchangedSince = Clock::now();
    for (;;) {
        RgbImage picture = capture(window);
        const auto now = Clock::now();
        if (picture != result.picture) {
            result.picture = std::move(picture);
            unchangedSince = now;
        } else if (now - unchangedSince >= settle && accept(result.picture)) {
            result.settled = true;
            return result;
        }
        if (now >= deadline) {
            return result;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

PictureWait XSession::waitForDrawnPicture(WindowId window, std::chrono::milliseconds timeout) {
    return waitForStablePicture(
        window, [](const RgbImage& picture) { return !picture.uniform(); },
        std::chrono::milliseconds(150), timeout);
}

std::string keysymName(char character) {
    // A Latin-1 keysym is its character's code.
    const char* name = XKeysymToString(static_cast<KeySym>(character));
    if (name == nullptr) throw std::runtime_error("no keysym for character " + std::to_string(character));
    return name;
}

std::string unservedDisplayName() {
    for (int number = 900 + getpid() % 4000;; ++number) {
        const std::string n = std::to_string(number);
        if (access(("/tmp/.X11-unix/X" + n).c_str(), F_OK) != 0 &&
            access(("/tmp/.X" + n + "-lock").c_str(), F_OK) != 0) {
            return ":" + n;
        }
    }
}

}  // namespace e2e
