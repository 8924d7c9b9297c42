#pragma once

// Waiting for what a window shows, so that tests neither race the program
// nor hang when it never draws.

#include <chrono>
#include <functional>

#include "tests/e2e/rgb_image.h"
#include "tests/e2e/x_client.h"

namespace e2e {

struct PictureWaitOptions {
    std::chrono::milliseconds timeout{10000};
    // How long the picture must stay the same to count as finished.
    std::chrono::milliseconds settle{150};
    std::chrono::milliseconds interval{20};
};

struct PictureWait {
    bool settled = false;  // false: timed out
    RgbImage picture;      // the picture that settled, or the last one seen
};

// Captures the window until its picture has stayed the same for `settle` and
// `accept` holds for it.
PictureWait waitForStablePicture(XClient& client, WindowId window,
                                 const std::function<bool(const RgbImage&)>& accept,
                                 const PictureWaitOptions& options = {});

// The first drawn picture: stable and not of a single colour, as a window is
// before its first frame.
PictureWait waitForDrawnPicture(XClient& client, WindowId window,
                                const PictureWaitOptions& options = {});

// A stable picture that differs from `previous`.
PictureWait waitForPictureOtherThan(XClient& client, WindowId window, const RgbImage& previous,
                                    const PictureWaitOptions& options = {});

}  // namespace e2e
