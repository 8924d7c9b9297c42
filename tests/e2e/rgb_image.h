// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

#pragma once

// A picture read back from a window or from a PNG file, and written as PNG
// (libpng) so that a person can open what a failing test saw.

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;

    bool operator==(const Rgb& other) const {
        return r == other.r && g == other.g && b == other.b;
    }
    bool operator!=(const Rgb& other) const { return !(*this == other); }
};

std::string toString(Rgb colour);

// Every channel within `tolerance` of the other colour's.
bool near(Rgb colour, Rgb expected, int tolerance);

// A rectangle of pixels: x and y of its top-left corner, then its size.
struct Box {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// 8-bit RGB, rows from top to bottom, as the window shows it.
class RgbImage {
public:
    RgbImage() = default;
    RgbImage(int width, int height, Rgb fill = {})
        : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height, fill) {}

    int width() const { return width_; }
    int height() const { return height_; }

    Rgb at(int x, int y) const { return pixels_.at(static_cast<std::size_t>(y) * width_ + x); }
    void set(int x, int y, Rgb colour) { pixels_.at(static_cast<std::size_t>(y) * width_ + x) = colour; }
    // The pixels one after another, three bytes each, as libpng reads and writes them.
    const std::vector<Rgb>& pixels() const { return pixels_; }
    std::uint8_t* bytes() { return &pixels_.data()->r; }

    // True when every pixel has the same colour, as a window that has not drawn yet.
    bool uniform() const;

    bool operator==(const RgbImage& other) const {
        return width_ == other.width_ && height_ == other.height_ && pixels_ == other.pixels_;
    }
    bool operator!=(const RgbImage& other) const { return !(*this == other); }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<Rgb> pixels_;
};
static_assert(sizeof(Rgb) == 3, "an image's pixels are packed bytes");

// Pixels of `box` (clipped to the image) for which `match(x, y, colour)` holds.
template <typename Match>
int countPixels(const RgbImage& image, Box box, Match match) {
    int count = 0;
    for (int y = box.y; y < box.y + box.height && y < image.height(); ++y) {
        for (int x = box.x; x < box.x + box.width && x < image.width(); ++x) {
            if (x >= 0 && y >= 0 && match(x, y, image.at(x, y))) {
                ++count;
            }
        }
    }
    return count;
}

// How two pictures of the same size differ: in how many pixels at all, in
// how many by more than `tolerance` steps in some channel, and by how many
// steps at most. Pictures of different sizes differ everywhere.
struct PixelDifference {
    long differing = 0;
    long beyondTolerance = 0;
    int largestStep = 0;
    bool sameSize = true;
};
PixelDifference comparePictures(const RgbImage& got, const RgbImage& expected, int tolerance);
std::string toString(const PixelDifference& difference, int tolerance);

// For a person to look at: the expected picture faded to grey, with every
// pixel that differs by more than `tolerance` in red and every smaller
// difference in yellow. Pictures of different sizes give an empty image.
RgbImage differenceImage(const RgbImage& got, const RgbImage& expected, int tolerance);

// The part of `image` inside `box` (clipped to the image).
RgbImage crop(const RgbImage& image, Box box);

// `image` scaled to width x height by nearest neighbour, as a picture that
// follows its window's shape would be.
RgbImage resample(const RgbImage& image, int width, int height);

// 8-bit RGB PNG files; both throw std::runtime_error with libpng's message.
RgbImage readPng(const std::string& path);
void writePng(const std::string& path, const RgbImage& image);

}  // namespace e2e
