#include "x_client.h"

#include <X11/Xlib.h>
#include <X11/XKBlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <cstdio>
#include <stdexcept>
#include <thread>
#include <vector>

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

// Runs `request` and says whether the server answered it without an error.
template <typename Request>
bool succeeds(Display* display, Request request) {
    XSync(display, False);
    lastErrorCode = 0;
    const bool ok = request();
    XSync(display, False);
    return ok && lastErrorCode == 0;
}

std::optional<std::string> title(Display* display, Window window) {
    char* name = nullptr;
    if (!succeeds(display, [&] { return XFetchName(display, window, &name) != 0; }) ||
        name == nullptr) {
        return std::nullopt;
    }
    std::string result = name;
    XFree(name);
    return result;
}

void collectWindows(Display* display, Window window, std::vector<Window>& out) {
    out.push_back(window);
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!succeeds(display, [&] {
            return XQueryTree(display, window, &root, &parent, &children, &count) != 0;
        })) {
        return;
    }
    for (unsigned i = 0; i < count; ++i) {
        collectWindows(display, children[i], out);
    }
    if (children != nullptr) {
        XFree(children);
    }
}

// Shift and width of a colour mask, to turn any TrueColor pixel into 8 bits.
struct Channel {
    unsigned long mask;
    int shift = 0;
    unsigned long max = 0;

    explicit Channel(unsigned long m) : mask(m) {
        while (mask != 0 && ((mask >> shift) & 1u) == 0) ++shift;
        max = mask >> shift;
    }
    std::uint8_t operator()(unsigned long pixel) const {
        return max == 0 ? 0 : static_cast<std::uint8_t>(((pixel & mask) >> shift) * 255 / max);
    }
};

}  // namespace

XClient::XClient(const std::string& displayName) {
    XSetErrorHandler(recordError);
    XSetIOErrorHandler(reportLostConnection);
    display_ = XOpenDisplay(displayName.c_str());
    if (display_ == nullptr) {
        throw std::runtime_error("cannot open X display " + displayName);
    }
}

XClient::~XClient() {
    if (display_ != nullptr) {
        XCloseDisplay(display_);
    }
}

std::optional<WindowId> XClient::findWindow(const std::string& wanted) {
    std::vector<Window> windows;
    collectWindows(display_, DefaultRootWindow(display_), windows);
    std::optional<WindowId> found;
    for (Window window : windows) {
        if (title(display_, window) != wanted) {
            continue;
        }
        XWindowAttributes attributes{};
        if (succeeds(display_, [&] { return XGetWindowAttributes(display_, window, &attributes); }) &&
            attributes.map_state == IsViewable) {
            return window;
        }
        if (!found) {
            found = window;
        }
    }
    return found;
}

WindowId XClient::waitForWindow(const std::string& wanted, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (const std::optional<WindowId> window = findWindow(wanted)) {
            if (geometry(*window).viewable) {
                return *window;
            }
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            throw std::runtime_error("no viewable window titled \"" + wanted + "\" within " +
                                     std::to_string(timeout.count()) + " ms");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

WindowGeometry XClient::geometry(WindowId window) {
    XWindowAttributes attributes{};
    Window child = 0;
    WindowGeometry result;
    if (!succeeds(display_, [&] { return XGetWindowAttributes(display_, window, &attributes); }) ||
        !succeeds(display_, [&] {
            return XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0,
                                         &result.x, &result.y, &child);
        })) {
        throw std::runtime_error("window " + std::to_string(window) + " is gone");
    }
    result.width = attributes.width;
    result.height = attributes.height;
    result.viewable = attributes.map_state == IsViewable;
    return result;
}

RgbImage XClient::capture(WindowId window) {
    const WindowGeometry place = geometry(window);
    return capture(window, Box{0, 0, place.width, place.height});
}

RgbImage XClient::capture(WindowId window, Box box) {
    XImage* image = nullptr;
    if (!succeeds(display_, [&] {
            image = XGetImage(display_, window, box.x, box.y, static_cast<unsigned>(box.width),
                              static_cast<unsigned>(box.height), AllPlanes, ZPixmap);
            return image != nullptr;
        })) {
        if (image != nullptr) XDestroyImage(image);
        throw std::runtime_error("cannot read the pixels of window " + std::to_string(window) +
                                 " (unmapped, or partly off the screen?)");
    }
    const Channel red(image->red_mask);
    const Channel green(image->green_mask);
    const Channel blue(image->blue_mask);
    RgbImage result(box.width, box.height);
    for (int y = 0; y < box.height; ++y) {
        for (int x = 0; x < box.width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            result.set(x, y, {red(pixel), green(pixel), blue(pixel)});
        }
    }
    XDestroyImage(image);
    return result;
}

void XClient::resize(WindowId window, int width, int height) {
    if (!succeeds(display_, [&] {
            XResizeWindow(display_, window, static_cast<unsigned>(width),
                          static_cast<unsigned>(height));
            return true;
        })) {
        throw std::runtime_error("cannot resize window " + std::to_string(window));
    }
}

void XClient::focus(WindowId window) {
    if (!succeeds(display_, [&] {
            XSetInputFocus(display_, window, RevertToPointerRoot, CurrentTime);
            return true;
        })) {
        throw std::runtime_error("cannot focus window " + std::to_string(window));
    }
}

void XClient::pressKey(const std::string& keysym) {
    const KeySym symbol = XStringToKeysym(keysym.c_str());
    const KeyCode code = symbol == NoSymbol ? 0 : XKeysymToKeycode(display_, symbol);
    if (code == 0 || XkbKeycodeToKeysym(display_, code, 0, 0) != symbol) {
        throw std::runtime_error("no key gives '" + keysym + "' without a modifier");
    }
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
    XFlush(display_);
}

bool XClient::windowManagerRunning() {
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

}  // namespace e2e
