#include "picture_wait.h"

#include <thread>

namespace e2e {

PictureWait waitForStablePicture(XClient& client, WindowId window,
                                 const std::function<bool(const RgbImage&)>& accept,
                                 const PictureWaitOptions& options) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + options.timeout;
    PictureWait result;
    auto unchangedSince = Clock::now();
    for (;;) {
        RgbImage picture = client.capture(window);
        const auto now = Clock::now();
        if (picture != result.picture) {
            result.picture = std::move(picture);
            unchangedSince = now;
        } else if (now - unchangedSince >= options.settle && accept(result.picture)) {
            result.settled = true;
            return result;
        }
        if (now >= deadline) {
            return result;
        }
        std::this_thread::sleep_for(options.interval);
    }
}

PictureWait waitForDrawnPicture(XClient& client, WindowId window,
                                const PictureWaitOptions& options) {
    return waitForStablePicture(
        client, window, [](const RgbImage& picture) { return !picture.uniform(); }, options);
}

PictureWait waitForPictureOtherThan(XClient& client, WindowId window, const RgbImage& previous,
                                    const PictureWaitOptions& options) {
    return waitForStablePicture(
        client, window, [&](const RgbImage& picture) { return picture != previous; }, options);
}

}  // namespace e2e
