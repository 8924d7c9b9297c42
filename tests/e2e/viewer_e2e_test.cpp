// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

// The real surface-viewer in a private Xvfb, driven by real key events.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <utility>
#include <string>
#include <vector>

#include "tests/e2e/child_process.h"
#include "tests/e2e/e2e_gtest.h"
#include "tests/e2e/rgb_image.h"
#include "tests/e2e/viewer_support.h"
#include "tests/e2e/x_session.h"

namespace {

using e2e::Box;
using e2e::describe;
using e2e::keepPicture;
using e2e::kViewerTitle;
using e2e::kViewerWindowSize;
using e2e::Rgb;
using e2e::RgbImage;
using std::chrono::milliseconds;

// glClearColor(0.2, 0.2, 0.7) in 8 bits; one step either way for rounding.
constexpr Rgb kBackground{51, 51, 178};
constexpr int kBackgroundTolerance = 1;
// Lit white under a zero normal: ambient 0.2 + 0.3 = 0.5.
constexpr Rgb kLabelGrey{128, 128, 128};
constexpr int kGreyTolerance = 8;

// The label's anchor lands about 18 px from the left and 42 px from the top;
// the glyphs sit on that baseline, to its right.
constexpr Box kLabelArea{8, 26, 30, 22};
// Where the first surface (the cylinder) stands, with the axes behind it.
constexpr Box kSurfaceArea{110, 80, 180, 235};

bool neutralGrey(Rgb c) {
    return std::abs(c.r - c.g) <= 2 && std::abs(c.g - c.b) <= 2;
}

class ViewerOnVirtualDisplay : public e2e::ViewerTest {
protected:
    void SetUp() override {
        E2E_REQUIRE_PROGRAMS("Xvfb");
        start();
    }
};

TEST_F(ViewerOnVirtualDisplay, WindowHasItsTitleSizeAndPlace) {
    // No window manager in Xvfb: the requested position is kept as it is.
    expectWindowPlacedWithin(0);
    // startViewer found it by its exact title; nothing else carries it.
    EXPECT_EQ(session_->findWindow(kViewerTitle), viewer_->window);
}

TEST_F(ViewerOnVirtualDisplay, FirstFrameShowsBackgroundLabelOutlinesAndLitCells) {
    const RgbImage& frame = viewer_->firstFrame;
    ASSERT_EQ(frame.width(), kViewerWindowSize);
    ASSERT_EQ(frame.height(), kViewerWindowSize);

    const std::pair<int, int> corners[] = {{2, 2}, {397, 2}, {2, 397}, {397, 397}, {60, 370}};
    for (const auto& [x, y] : corners) {
        EXPECT_TRUE(e2e::near(frame.at(x, y), kBackground, kBackgroundTolerance))
            << "background at (" << x << ", " << y << ") is " << toString(frame.at(x, y))
            << keepPicture(frame, "first-frame");
    }

    // The label of the first surface, "1", in grey near its anchor; nothing
    // else but background in that corner.
    int left = kViewerWindowSize;
    int bottom = -1;
    const int grey = countPixels(frame, kLabelArea, [&](int x, int y, Rgb c) {
        if (!e2e::near(c, kLabelGrey, kGreyTolerance)) return false;
        left = std::min(left, x);
        bottom = std::max(bottom, y);
        return true;
    });
    const int other = countPixels(frame, kLabelArea, [](int, int, Rgb c) {
        return !e2e::near(c, kLabelGrey, kGreyTolerance) &&
               !e2e::near(c, kBackground, kBackgroundTolerance);
    });
    EXPECT_GE(grey, 8) << "too few label pixels" << keepPicture(frame, "first-frame");
    EXPECT_EQ(other, 0) << "pixels of neither label nor background near the label"
                        << keepPicture(frame, "first-frame");
    EXPECT_TRUE(left >= 17 && left <= 26) << "label starts at x = " << left
                                          << keepPicture(frame, "first-frame");
    EXPECT_TRUE(bottom >= 40 && bottom <= 44) << "label's baseline at y = " << bottom
                                              << keepPicture(frame, "first-frame");

    // Black outlines and white cells lit by the light (brighter than the
    // 0.5 grey that ambient light alone gives).
    const int outline = countPixels(frame, kSurfaceArea, [](int, int, Rgb c) {
        return c.r <= 8 && c.g <= 8 && c.b <= 8;
    });
    const int lit = countPixels(frame, kSurfaceArea, [](int, int, Rgb c) {
        return neutralGrey(c) && c.r >= 180;
    });
    EXPECT_GE(outline, 3000) << "black outline pixels" << keepPicture(frame, "first-frame");
    EXPECT_GE(lit, 12000) << "lit cell pixels" << keepPicture(frame, "first-frame");
    // The surface is white and the light grey: no coloured pixel may appear
    // on it (a tinted material or light would show here).
    const int tinted = countPixels(frame, kSurfaceArea, [](int, int, Rgb c) {
        return !neutralGrey(c) && !e2e::near(c, kBackground, kBackgroundTolerance);
    });
    EXPECT_EQ(tinted, 0) << "coloured pixels on the surface" << keepPicture(frame, "first-frame");
}

TEST_F(ViewerOnVirtualDisplay, SevenCharacterKeysCycleBackToTheFirstPicture) {
    expectSevenCharacterKeysCycleBack();
}

TEST_F(ViewerOnVirtualDisplay, KeysWithoutACharacterChangeNothing) {
    session_->focus(viewer_->window);
    for (const char* key : {"Left", "F1", "Shift_L"}) {
        session_->pressKey(key);
    }
    // Nothing may redraw: a picture that stays put for half a second is final.
    const e2e::PictureWait after = session_->waitForStablePicture(
        viewer_->window, [](const RgbImage&) { return true; }, milliseconds(500));
    ASSERT_TRUE(after.settled);
    EXPECT_TRUE(after.picture == viewer_->firstFrame) << keepPicture(after.picture, "after-keys");
    // A character key still works afterwards.
    pictureAfterKey("b", viewer_->firstFrame);
}

TEST_F(ViewerOnVirtualDisplay, EscapeEndsTheProcessWithStatusOne) {
    expectEscapeEndsWithStatusOne();
}

TEST(ViewerWithoutDisplay, FailsWithFreeglutsMessageInsteadOfHanging) {
    const std::string display = e2e::unservedDisplayName();
    e2e::ChildProcess viewer(e2e::viewerCommand(), {{"DISPLAY", display}});
    const std::optional<e2e::ExitStatus> status = viewer.waitFor(milliseconds(10000));
    ASSERT_TRUE(status) << "still running 10 s later with DISPLAY=" << display;
    EXPECT_TRUE(status->exited && status->code != 0) << status->describe() << describe(viewer);
    EXPECT_NE(viewer.stderrText().find("failed to open display"), std::string::npos)
        << describe(viewer);
}

}  // namespace
