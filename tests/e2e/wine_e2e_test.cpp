// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

// surface-viewer.exe, the Windows build, run for real under Wine in a private
// Xvfb: the window, the first frame against the Linux build's, the keys and the
// exit status. scripts/windows gives the .exe's path in
// SURFACE_VIEWER_WINDOWS_EXE; without it these tests are skipped.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/child_process.h"
#include "tests/e2e/e2e_gtest.h"
#include "tests/e2e/rgb_image.h"
#include "tests/e2e/viewer_support.h"

namespace {

using e2e::keepPicture;
using e2e::kViewerWindowSize;
using e2e::RgbImage;
using std::chrono::milliseconds;

// With no window manager Wine leaves room for a frame that nobody draws: the
// client area lands at about (104, 123).
constexpr int kPositionSlack = 40;
// Wine's opengl32 hands the drawing to the same Mesa as the Linux build, so
// the pictures should agree; allow a few stray pixels, one step apart.
constexpr long kMaxDifferingPixels = kViewerWindowSize * kViewerWindowSize / 1000;
constexpr int kChannelTolerance = 1;
// A prefix that exists already starts in about a second; a cold one takes
// longer, which scripts/windows spends before the tests.
constexpr milliseconds kWindowTimeout(30000);

// Wine maps Z: to the Unix root.
std::string windowsPath(const std::string& unixPath) {
    std::string path = "Z:" + unixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

e2e::Environment wineEnvironment(const std::string& exe) {
    const std::string folder = exe.substr(0, exe.find_last_of('/'));
    return {
        // A prefix of its own, beside the .exe, never the user's ~/.wine.
        {"WINEPREFIX", e2e::environmentOr("WINEPREFIX", folder + "/wine-prefix")},
        {"WINEARCH", "win64"},
        // Quiet, but a DLL that cannot be loaded is still named.
        {"WINEDEBUG", e2e::environmentOr("WINEDEBUG", "-all,err+module")},
        // No Mono or Gecko installers, and no debugger: a crash ends the
        // process at once instead of opening a dialog that waits forever.
        {"WINEDLLOVERRIDES", "mscoree,mshtml=;winedbg.exe=d"},
    };
}

// Wine hands the Unix DISPLAY to the program, where freeglut would take it for
// a Windows display name and complain; cmd clears it for the program alone.
std::vector<std::string> wineCommand(const std::string& exe) {
    return {"wine", "cmd", "/c", "set DISPLAY=&& " + windowsPath(exe)};
}

class WindowsBuildUnderWine : public e2e::ViewerTest {
protected:
    void SetUp() override {
        const std::string exe = e2e::environmentOr("SURFACE_VIEWER_WINDOWS_EXE", "");
        if (exe.empty()) {
            GTEST_SKIP() << "SURFACE_VIEWER_WINDOWS_EXE is not set (scripts/windows sets it)";
        }
        E2E_REQUIRE_PROGRAMS("Xvfb", "wine");
        start(wineCommand(exe), wineEnvironment(exe), kWindowTimeout);
    }
};

TEST_F(WindowsBuildUnderWine, WindowHasItsTitleSizeAndAboutItsPlace) {
    expectWindowPlacedWithin(kPositionSlack);
}

TEST_F(WindowsBuildUnderWine, FirstFrameMatchesTheLinuxBuild) {
    e2e::XSession nativeSession;
    std::optional<e2e::LaunchedViewer> native;
    ASSERT_NO_THROW(native.emplace(e2e::startViewer(nativeSession, {e2e::builtViewer()})));

    const RgbImage& windows = viewer_->firstFrame;
    const e2e::PixelDifference difference =
        e2e::comparePictures(windows, native->firstFrame, kChannelTolerance);
    e2e::reportFigure("Wine against Linux, first frame: " + toString(difference, kChannelTolerance));
    EXPECT_TRUE(difference.sameSize) << windows.width() << "x" << windows.height() << " against "
                                     << native->firstFrame.width() << "x" << native->firstFrame.height();
    EXPECT_LE(difference.beyondTolerance, kMaxDifferingPixels)
        << keepPicture(windows, "wine-first-frame") << keepPicture(native->firstFrame, "linux-first-frame");
}

TEST_F(WindowsBuildUnderWine, SevenCharacterKeysCycleBackToTheFirstPicture) {
    expectSevenCharacterKeysCycleBack();
}

TEST_F(WindowsBuildUnderWine, EscapeEndsTheProcessWithStatusOne) {
    expectEscapeEndsWithStatusOne(milliseconds(10000));
}

}  // namespace
