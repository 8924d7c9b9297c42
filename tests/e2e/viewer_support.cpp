// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

#include "viewer_support.h"

#include <stdexcept>
#include <thread>

#include "tests/e2e/e2e_gtest.h"

namespace e2e {

// Two steps per channel: the rounding of a lit colour, which other code
// generation in llvmpipe may change. Beyond that, eight pixels: a few edge
// pixels. Smaller than anything a wrong surface changes: without its label
// surface 0 loses 15 pixels, the smallest such change; with full-precision
// pi every frame has at least 240 pixels off by more than 32 steps, and
// without the outline lift at least 423.
const int kGoldenStepTolerance = 2;
const long kGoldenPixelAllowance = 8;

std::string builtViewer() {
    return SURFACE_VIEWER_EXECUTABLE;
}

std::vector<std::string> viewerCommand() {
    // SURFACE_VIEWER_E2E_COMMAND replaces the built executable, e.g. with a
    // launcher and another build of the viewer.
    return commandFromEnvironment("SURFACE_VIEWER_E2E_COMMAND", {builtViewer()});
}

std::string galleryPath(int index) {
    return std::string(SURFACE_VIEWER_GALLERY_DIR) + "/surface-" + std::to_string(index) + ".png";
}

const std::vector<RgbImage>& goldenFrames() {
    static const std::vector<RgbImage> frames = [] {
        std::vector<RgbImage> result;
        result.reserve(kSurfaceCount);
        for (int i = 0; i < kSurfaceCount; ++i) result.push_back(readPng(galleryPath(i)));
        return result;
    }();
    return frames;
}

bool matchesGolden(const PixelDifference& difference) {
    return difference.sameSize && difference.beyondTolerance <= kGoldenPixelAllowance;
}

std::string describeGoldenTolerance() {
    return "at most " + std::to_string(kGoldenPixelAllowance) + " pixels may differ by more than " +
           std::to_string(kGoldenStepTolerance) + " steps in a channel";
}

int surfaceShown(const RgbImage& picture) {
    const std::vector<RgbImage>& golden = goldenFrames();
    for (int i = 0; i < kSurfaceCount; ++i) {
        if (matchesGolden(comparePictures(picture, golden[i], kGoldenStepTolerance))) {
            return i;
        }
    }
    return -1;
}

std::string describe(ChildProcess& process) {
    const std::string state = process.running() ? "still running" : process.status()->describe();
    return "\n'" + process.commandLine().substr(0, 200) + "': " + state + "; its stderr:\n" +
           process.stderrText().substr(0, 2000);
}

std::optional<WindowId> waitForViewerWindow(XSession& session, ChildProcess& process,
                                            std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    // A viewer that crashes ends the wait at once rather than after the whole timeout.
    while (process.running() && std::chrono::steady_clock::now() < deadline) {
        if (const std::optional<WindowId> window = session.findWindow(kViewerTitle)) return window;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return std::nullopt;
}

LaunchedViewer startViewer(XSession& session, const std::vector<std::string>& command,
                           const Environment& environment, std::chrono::milliseconds timeout) {
    LaunchedViewer viewer{session.launch(command, environment), 0, {}};
    const std::optional<WindowId> window = waitForViewerWindow(session, viewer.process, timeout);
    if (!window) {
        const std::string what = viewer.process.running()
                                     ? "no viewable window titled \"" + kViewerTitle + "\" within " +
                                           std::to_string(timeout.count()) + " ms"
                                     : "ended before its window appeared";
        throw std::runtime_error(what + describe(viewer.process));
    }
    viewer.window = *window;
    const PictureWait drawn = session.waitForDrawnPicture(viewer.window, timeout);
    if (!drawn.settled) {
        throw std::runtime_error("the first frame never settled" + describe(viewer.process) +
                                 keepPicture(drawn.picture, "first-frame"));
    }
    viewer.firstFrame = drawn.picture;
    return viewer;
}

std::chrono::milliseconds viewerStartTimeout() {
    // Under a wrapper such as valgrind, Mesa's first frame alone can take
    // half a minute.
    const bool wrapped = !environmentOr("SURFACE_VIEWER_E2E_COMMAND", "").empty();
    return wrapped ? std::chrono::seconds(120) : std::chrono::seconds(10);
}

LaunchedViewer launchViewer(XSession& session) {
    return startViewer(session, viewerCommand(), {}, viewerStartTimeout());
}

RgbImage pictureAfterKey(XSession& session, LaunchedViewer& viewer, const std::string& keysym,
                         const RgbImage& previous) {
    session.pressKey(keysym);
    const PictureWait next = session.waitForStablePicture(
        viewer.window, [&](const RgbImage& picture) { return picture != previous; });
    if (!next.settled) {
        throw std::runtime_error("no new picture after key " + keysym + describe(viewer.process) +
                                 keepPicture(next.picture, "after-" + keysym));
    }
    return next.picture;
}

std::vector<RgbImage> captureEverySurface(XSession& session, LaunchedViewer& viewer) {
    session.focus(viewer.window);
    std::vector<RgbImage> frames = {viewer.firstFrame};
    while (frames.size() < static_cast<std::size_t>(kSurfaceCount)) {
        frames.push_back(pictureAfterKey(session, viewer, "space", frames.back()));
    }
    return frames;
}

void ViewerTest::start(const std::vector<std::string>& command, const Environment& environment,
                       std::chrono::milliseconds timeout) {
    session_.emplace();
    ASSERT_NO_THROW(viewer_.emplace(startViewer(*session_, command, environment, timeout)));
}

void ViewerTest::TearDown() {
    if (viewer_) {
        viewer_->process.stop(std::chrono::milliseconds(2000));
    }
    viewer_.reset();
    session_.reset();
}

RgbImage ViewerTest::pictureAfterKey(const std::string& keysym, const RgbImage& previous) {
    return e2e::pictureAfterKey(*session_, *viewer_, keysym, previous);
}

void ViewerTest::expectWindowPlacedWithin(int slack) {
    const WindowGeometry place = session_->geometry(viewer_->window);
    EXPECT_EQ(place.width, kViewerWindowSize);
    EXPECT_EQ(place.height, kViewerWindowSize);
    EXPECT_NEAR(place.x, kViewerPosition, slack);
    EXPECT_NEAR(place.y, kViewerPosition, slack);
}

void ViewerTest::expectSevenCharacterKeysCycleBack() {
    session_->focus(viewer_->window);
    // Lower and upper case, a digit, space, Enter and Backspace: each a character.
    const std::vector<std::string> keys = {"a", "1", "space", "Return", "BackSpace", "Z", "x"};
    RgbImage previous = viewer_->firstFrame;
    for (const std::string& key : keys) {
        previous = pictureAfterKey(key, previous);
    }
    EXPECT_TRUE(previous == viewer_->firstFrame)
        << comparePictures(previous, viewer_->firstFrame, 0).differing << " pixels differ from the first frame"
        << keepPicture(previous, "after-seven-keys") << keepPicture(viewer_->firstFrame, "first-frame");
}

void ViewerTest::expectEscapeEndsWithStatusOne(std::chrono::milliseconds timeout) {
    session_->focus(viewer_->window);
    session_->pressKey("Escape");
    const std::optional<ExitStatus> status = viewer_->process.waitFor(timeout);
    ASSERT_TRUE(status) << "still running " << timeout.count() << " ms after Esc" << describe();
    EXPECT_TRUE(status->exitedWith(1)) << describe();
    // The program itself never writes to the console, nor may freeglut or Wine complain.
    EXPECT_EQ(viewer_->process.stdoutText(), "");
    EXPECT_EQ(viewer_->process.stderrText(), "");
}

}  // namespace e2e
