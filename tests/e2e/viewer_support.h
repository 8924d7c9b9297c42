// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

#pragma once

// What the end-to-end suites know about the viewer itself: how to start it,
// its window, its seven pictures and how close a captured picture must come
// to them.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/child_process.h"
#include "tests/e2e/e2e_gtest.h"
#include "tests/e2e/rgb_image.h"
#include "tests/e2e/x_session.h"

namespace e2e {

inline const std::string kViewerTitle = "foo!";
inline constexpr int kSurfaceCount = 7;
inline constexpr int kViewerWindowSize = 400;
// Where it asks for its window's top-left corner, x and y alike.
inline constexpr int kViewerPosition = 100;

// The viewer this build made, whatever the environment says.
std::string builtViewer();

// builtViewer(), or SURFACE_VIEWER_E2E_COMMAND when set.
std::vector<std::string> viewerCommand();

// How long viewerCommand() may take to show its window and first frame.
std::chrono::milliseconds viewerStartTimeout();

// docs/gallery/surface-<index>.png in the source tree.
std::string galleryPath(int index);

// The seven committed frames, read once. Throws std::runtime_error when one
// cannot be read.
const std::vector<RgbImage>& goldenFrames();

// The same Mesa on the same CPU draws the same pixels, and then the frames
// match exactly. The allowance absorbs what another CPU's code generation may
// change in llvmpipe (a rounding step of lighting, a few edge pixels) and no
// more: see kGoldenPixelAllowance in viewer_support.cpp for why a wrong
// surface cannot hide in it.
extern const int kGoldenStepTolerance;
extern const long kGoldenPixelAllowance;
bool matchesGolden(const PixelDifference& difference);
std::string describeGoldenTolerance();

// The index of the golden frame that `picture` matches, or -1 for none.
int surfaceShown(const RgbImage& picture);

// The viewer's state in a failure message: running or how it ended, and what
// it wrote to stderr.
std::string describe(ChildProcess& process);

struct LaunchedViewer {
    ChildProcess process;
    WindowId window = 0;
    RgbImage firstFrame;
};

// The viewer's window once it is viewable; nullopt when `process` ends
// first or `timeout` passes.
std::optional<WindowId> waitForViewerWindow(XSession& session, ChildProcess& process,
                                            std::chrono::milliseconds timeout);

// Starts `command` (the viewer, or a launcher of it) on the session's
// display and waits for its window and its first frame; throws
// std::runtime_error, with the viewer's stderr, when either does not come or
// the viewer ends first.
LaunchedViewer startViewer(XSession& session, const std::vector<std::string>& command,
                           const Environment& environment = {},
                           std::chrono::milliseconds timeout = std::chrono::seconds(10));
// startViewer with viewerCommand() and viewerStartTimeout().
LaunchedViewer launchViewer(XSession& session);

// A new settled picture after `keysym`, which must differ from `previous`;
// throws std::runtime_error, keeping what it saw, when none comes.
RgbImage pictureAfterKey(XSession& session, LaunchedViewer& viewer, const std::string& keysym,
                         const RgbImage& previous);

// The first frame and the frame after each of six space bars: the seven
// surfaces in order. Leaves the viewer on the last one; throws as
// pictureAfterKey does.
std::vector<RgbImage> captureEverySurface(XSession& session, LaunchedViewer& viewer);

// The fixture of the suites that drive one viewer in a private X server.
class ViewerTest : public ::testing::Test {
protected:
    // Starts the session and `command` on it; a fatal failure of the test
    // when the viewer does not come up.
    void start(const std::vector<std::string>& command = viewerCommand(),
               const Environment& environment = {},
               std::chrono::milliseconds timeout = viewerStartTimeout());
    // SIGTERM first, for Wine to tidy up, and the viewer before the server.
    void TearDown() override;

    std::string describe() { return e2e::describe(viewer_->process); }
    RgbImage pictureAfterKey(const std::string& keysym, const RgbImage& previous);
    // The window is 400 x 400, its top-left corner within `slack` pixels of
    // where the viewer asks for it.
    void expectWindowPlacedWithin(int slack);
    // Seven character keys of all kinds bring the first picture back.
    void expectSevenCharacterKeysCycleBack();
    // Esc ends it with status 1 within `timeout`, and it wrote nothing at all.
    void expectEscapeEndsWithStatusOne(std::chrono::milliseconds timeout = std::chrono::seconds(5));

    std::optional<XSession> session_;
    std::optional<LaunchedViewer> viewer_;
};

}  // namespace e2e
