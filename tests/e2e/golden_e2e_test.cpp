// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

// The seven surfaces as the real viewer draws them in Xvfb, against the
// frames committed in docs/gallery/ (which scripts/gallery writes).

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/e2e_gtest.h"
#include "tests/e2e/viewer_support.h"

namespace {

using e2e::RgbImage;

TEST(GoldenFrames, EverySurfaceMatchesItsCommittedFrame) {
    E2E_REQUIRE_PROGRAMS("Xvfb");
    std::vector<RgbImage> golden;
    ASSERT_NO_THROW(golden = e2e::goldenFrames()) << "run scripts/gallery to write them";
    for (const RgbImage& frame : golden) {
        // A blank or wrongly sized frame would make every comparison meaningless.
        ASSERT_EQ(frame.width(), e2e::kViewerWindowSize);
        ASSERT_EQ(frame.height(), e2e::kViewerWindowSize);
        ASSERT_FALSE(frame.uniform());
    }

    e2e::XSession session;
    e2e::LaunchedViewer viewer = e2e::launchViewer(session);
    const std::vector<RgbImage> frames = e2e::captureEverySurface(session, viewer);

    long worst = 0;
    for (int i = 0; i < e2e::kSurfaceCount; ++i) {
        const e2e::PixelDifference difference =
            e2e::comparePictures(frames[i], golden[i], e2e::kGoldenStepTolerance);
        worst = std::max(worst, difference.beyondTolerance);
        const std::string name = "surface-" + std::to_string(i);
        EXPECT_TRUE(e2e::matchesGolden(difference))
            << name << ": " << toString(difference, e2e::kGoldenStepTolerance) << " (allowed: "
            << e2e::describeGoldenTolerance() << ")" << e2e::keepPicture(frames[i], name + "-got")
            << e2e::keepPicture(e2e::differenceImage(frames[i], golden[i], e2e::kGoldenStepTolerance),
                                name + "-difference")
            << "\n(difference: red beyond the tolerance, yellow within it)";
    }
    e2e::reportFigure("7 frames against docs/gallery: at most " + std::to_string(worst) +
                      " pixels beyond the tolerance in one frame (" +
                      e2e::describeGoldenTolerance() + ")");

    // An orderly end, so that a run under a memory checker gets to report.
    session.pressKey("Escape");
    const std::optional<e2e::ExitStatus> status = viewer.process.waitFor(std::chrono::seconds(60));
    ASSERT_TRUE(status) << "still running a minute after Esc" << e2e::describe(viewer.process);
    EXPECT_TRUE(status->exitedWith(1)) << e2e::describe(viewer.process);
}

}  // namespace
