// The harness's own pieces where a fault would hide real failures: the PNG a
// failing test leaves behind, and how child processes are reported.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/e2e/child_process.h"
#include "tests/e2e/png_reader.h"
#include "tests/e2e/process_stats.h"
#include "tests/e2e/rgb_image.h"

namespace {

using e2e::Rgb;
using e2e::RgbImage;

std::uint32_t bigEndian(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return (std::uint32_t{bytes.at(at)} << 24) | (std::uint32_t{bytes.at(at + 1)} << 16) |
           (std::uint32_t{bytes.at(at + 2)} << 8) | bytes.at(at + 3);
}

// Walks the chunks of a PNG, checking every CRC, and returns the pixels
// inflated from its stored deflate blocks, scanline filter bytes included.
std::vector<std::uint8_t> storedPixels(const std::vector<std::uint8_t>& png, int& width,
                                       int& height) {
    std::vector<std::uint8_t> zlib;
    std::size_t at = 8;
    while (at < png.size()) {
        const std::uint32_t length = bigEndian(png, at);
        const std::string type(png.begin() + at + 4, png.begin() + at + 8);
        EXPECT_EQ(bigEndian(png, at + 8 + length), e2e::crc32(&png[at + 4], length + 4)) << type;
        if (type == "IHDR") {
            width = static_cast<int>(bigEndian(png, at + 8));
            height = static_cast<int>(bigEndian(png, at + 12));
        } else if (type == "IDAT") {
            zlib.insert(zlib.end(), png.begin() + at + 8, png.begin() + at + 8 + length);
        }
        at += 12 + length;
    }
    std::vector<std::uint8_t> raw;
    std::size_t pos = 2;
    for (bool last = false; !last;) {
        if (pos + 5 > zlib.size()) {
            ADD_FAILURE() << "the pixel data ends inside a block header";
            return raw;
        }
        last = zlib.at(pos) & 1;
        const std::size_t length = zlib.at(pos + 1) | (zlib.at(pos + 2) << 8);
        EXPECT_EQ(length ^ 0xFFFF, std::size_t(zlib.at(pos + 3) | (zlib.at(pos + 4) << 8)));
        raw.insert(raw.end(), zlib.begin() + pos + 5, zlib.begin() + pos + 5 + length);
        pos += 5 + length;
    }
    EXPECT_EQ(bigEndian(zlib, pos), e2e::adler32(raw.data(), raw.size()));
    EXPECT_EQ(pos + 4, zlib.size());
    return raw;
}

TEST(PngWriter, ChecksumsMatchTheirPublishedValues) {
    const std::string digits = "123456789";
    const auto* data = reinterpret_cast<const std::uint8_t*>(digits.data());
    EXPECT_EQ(e2e::crc32(data, digits.size()), 0xCBF43926u);
    const std::string word = "Wikipedia";
    EXPECT_EQ(e2e::adler32(reinterpret_cast<const std::uint8_t*>(word.data()), word.size()),
              0x11E60398u);
}

TEST(PngWriter, KeepsEveryPixelAcrossSeveralDeflateBlocks) {
    // 400 x 400 RGB is about 480 kB: eight stored blocks, the last one short.
    RgbImage image(400, 400, Rgb{51, 51, 178});
    image.set(0, 0, Rgb{1, 2, 3});
    image.set(399, 399, Rgb{250, 251, 252});
    const std::vector<std::uint8_t> png = e2e::encodePng(image);
    ASSERT_EQ(std::vector<std::uint8_t>(png.begin(), png.begin() + 8),
              (std::vector<std::uint8_t>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));

    int width = 0;
    int height = 0;
    const std::vector<std::uint8_t> raw = storedPixels(png, width, height);
    EXPECT_EQ(width, 400);
    EXPECT_EQ(height, 400);
    ASSERT_EQ(raw.size(), 400u * (1 + 400 * 3));
    for (int y = 0; y < 400; ++y) {
        const std::size_t row = static_cast<std::size_t>(y) * (1 + 400 * 3);
        ASSERT_EQ(raw[row], 0) << "filter byte of row " << y;
        ASSERT_TRUE(std::equal(image.bytes().begin() + y * 1200L, image.bytes().begin() + (y + 1) * 1200L,
                               raw.begin() + row + 1))
            << "row " << y;
    }
}

TEST(PngReader, ReadsBackWhatTheWriterWroteAndRefusesABrokenFile) {
    RgbImage image(37, 5, Rgb{51, 51, 178});
    for (int x = 0; x < 37; ++x) image.set(x, x % 5, Rgb{static_cast<std::uint8_t>(7 * x), 255, 0});
    std::vector<std::uint8_t> png = e2e::encodePng(image);
    EXPECT_TRUE(e2e::decodePng(png) == image);

    png[png.size() / 2] ^= 0x10;  // inside the pixel data: its CRC no longer holds
    EXPECT_THROW(e2e::decodePng(png), std::runtime_error);
    EXPECT_THROW(e2e::decodePng({1, 2, 3}), std::runtime_error);
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
    EXPECT_GT(e2e::cpuSeconds(getpid()), 0.0);
    EXPECT_THROW(e2e::residentKiB(999999999), std::runtime_error);
}

TEST(ChildProcess, ReportsExitCodesSignalsAndOutput) {
    e2e::LaunchOptions options;
    options.argv = {"sh", "-c", "echo out; echo err >&2; echo $PROBE; exit 3"};
    options.environment["PROBE"] = "set";
    e2e::ChildProcess exits(options);
    const auto status = exits.waitFor(std::chrono::seconds(5));
    ASSERT_TRUE(status);
    EXPECT_TRUE(status->exitedWith(3)) << status->describe();
    EXPECT_EQ(exits.stdoutText(), "out\nset\n");
    EXPECT_EQ(exits.stderrText(), "err\n");

    options.argv = {"sleep", "30"};
    e2e::ChildProcess sleeps(options);
    EXPECT_FALSE(sleeps.waitFor(std::chrono::milliseconds(50)));
    const e2e::ExitStatus stopped = sleeps.stop(std::chrono::milliseconds(1000));
    EXPECT_FALSE(stopped.exited);
    EXPECT_EQ(stopped.signal, SIGTERM);

    options.argv = {"no-such-program-anywhere"};
    EXPECT_THROW(e2e::ChildProcess{options}, std::runtime_error);
}

}  // namespace
