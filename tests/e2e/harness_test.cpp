// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

// The harness's own pieces where a fault would hide real failures: the PNG
// glue around libpng, and how pictures and child processes are reported.

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <ctime>
#include <cstdint>
#include <fstream>
#include <string>

#include "tests/e2e/child_process.h"
#include "tests/e2e/rgb_image.h"

namespace {

using e2e::Rgb;
using e2e::RgbImage;

TEST(PngReader, ReadsBackWhatTheWriterWroteAndRefusesABrokenFile) {
    RgbImage image(37, 5, Rgb{51, 51, 178});
    for (int x = 0; x < 37; ++x) image.set(x, x % 5, Rgb{static_cast<std::uint8_t>(7 * x), 255, 0});
    const std::string path = ::testing::TempDir() + "harness-test.png";
    e2e::writePng(path, image);
    EXPECT_TRUE(e2e::readPng(path) == image);

    {
        // The last byte of the pixel data's CRC, just before the 12 bytes of IEND.
        std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
        const std::streamoff at = file.seekg(0, std::ios::end).tellg() - std::streamoff(13);
        const int byte = file.seekg(at).get();
        file.seekp(at).put(static_cast<char>(byte ^ 0x10));
    }
    EXPECT_THROW(e2e::readPng(path), std::runtime_error);
    std::ofstream(path, std::ios::binary) << "\1\2\3";
    EXPECT_THROW(e2e::readPng(path), std::runtime_error);
}

TEST(PictureComparison, CountsStepsAndMarksTheDifferences) {
    RgbImage expected(4, 1, Rgb{100, 100, 100});
    RgbImage got = expected;
    got.set(1, 0, Rgb{102, 100, 100});  // within a tolerance of 2
    got.set(2, 0, Rgb{100, 100, 103});  // beyond it
    got.set(3, 0, Rgb{0, 100, 100});
    const e2e::PixelDifference d = e2e::comparePictures(got, expected, 2);
    EXPECT_EQ(d.differing, 3);
    EXPECT_EQ(d.beyondTolerance, 2);
    EXPECT_EQ(d.largestStep, 100);
    const RgbImage marked = e2e::differenceImage(got, expected, 2);
    EXPECT_EQ(marked.at(1, 0), (Rgb{255, 255, 0}));
    EXPECT_EQ(marked.at(2, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(marked.at(0, 0).r, marked.at(0, 0).b);  // unchanged: grey
    EXPECT_FALSE(e2e::comparePictures(RgbImage(4, 2), expected, 2).sameSize);
}

TEST(ProcessStats, ReadTheMemoryAndCpuTimeOfThisProcess) {
    const long kib = e2e::residentKiB(getpid());
    EXPECT_GT(kib, 100);
    EXPECT_LT(kib, 10L * 1024 * 1024);
    volatile double sink = 0;
    for (int i = 0; i < 30000000; ++i) sink = sink + i;  // some CPU time to count
    const double seconds = e2e::cpuSeconds(getpid());
    EXPECT_GT(seconds, 0.0);
    // The same time as the C library counts it, to a few clock ticks: any
    // other field of /proc/PID/stat would be far off.
    EXPECT_NEAR(seconds, static_cast<double>(std::clock()) / CLOCKS_PER_SEC, 0.05);
    EXPECT_THROW(e2e::residentKiB(999999999), std::runtime_error);
}

TEST(ChildProcess, ReportsExitCodesSignalsAndOutput) {
    e2e::ChildProcess exits({"sh", "-c", "echo out; echo err >&2; echo $PROBE; exit 3"},
                            {{"PROBE", "set"}});
    const auto status = exits.waitFor(std::chrono::seconds(5));
    ASSERT_TRUE(status);
    EXPECT_TRUE(status->exitedWith(3)) << status->describe();
    EXPECT_EQ(exits.stdoutText(), "out\nset\n");
    EXPECT_EQ(exits.stderrText(), "err\n");

    e2e::ChildProcess sleeps({"sleep", "30"});
    EXPECT_FALSE(sleeps.waitFor(std::chrono::milliseconds(50)));
    // The grace is a deadline: a busy machine may take more than a moment to end it.
    const e2e::ExitStatus stopped = sleeps.stop(std::chrono::seconds(30));
    EXPECT_FALSE(stopped.exited);
    EXPECT_EQ(stopped.signal, SIGTERM);

    EXPECT_THROW(e2e::ChildProcess({"no-such-program-anywhere"}), std::runtime_error);
}

}  // namespace
