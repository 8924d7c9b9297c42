// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

#include "rgb_image.h"

#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <stdexcept>

namespace e2e {

std::string toString(Rgb colour) {
    return "(" + std::to_string(colour.r) + ", " + std::to_string(colour.g) + ", " +
           std::to_string(colour.b) + ")";
}

namespace {

// The largest difference of the three channels.
int step(Rgb a, Rgb b) {
    return std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
}

}  // namespace

bool near(Rgb colour, Rgb expected, int tolerance) {
    return step(colour, expected) <= tolerance;
}

bool RgbImage::uniform() const {
    return std::adjacent_find(pixels_.begin(), pixels_.end(), std::not_equal_to<>()) == pixels_.end();
}

PixelDifference comparePictures(const RgbImage& got, const RgbImage& expected, int tolerance) {
    PixelDifference result;
    if (got.width() != expected.width() || got.height() != expected.height()) {
        result.sameSize = false;
        result.differing = result.beyondTolerance = std::max(got.width() * got.height(),
                                                             expected.width() * expected.height());
        result.largestStep = 255;
        return result;
    }
    for (std::size_t i = 0; i < got.pixels().size(); ++i) {
        const int difference = step(got.pixels()[i], expected.pixels()[i]);
        result.differing += difference > 0 ? 1 : 0;
        result.beyondTolerance += difference > tolerance ? 1 : 0;
        result.largestStep = std::max(result.largestStep, difference);
    }
    return result;
}

std::string toString(const PixelDifference& difference, int tolerance) {
    if (!difference.sameSize) {
        return "the sizes differ";
    }
    return std::to_string(difference.differing) + " pixels differ, " +
           std::to_string(difference.beyondTolerance) + " by more than " +
           std::to_string(tolerance) + " steps; largest difference " +
           std::to_string(difference.largestStep) + " steps";
}

RgbImage differenceImage(const RgbImage& got, const RgbImage& expected, int tolerance) {
    if (got.width() != expected.width() || got.height() != expected.height()) {
        return {};
    }
    RgbImage result(got.width(), got.height());
    for (int y = 0; y < got.height(); ++y) {
        for (int x = 0; x < got.width(); ++x) {
            const Rgb b = expected.at(x, y);
            const int difference = step(got.at(x, y), b);
            const auto faded = static_cast<std::uint8_t>(64 + (b.r + b.g + b.b) / 6);
            result.set(x, y, difference > tolerance ? Rgb{255, 0, 0}
                             : difference > 0       ? Rgb{255, 255, 0}
                                                    : Rgb{faded, faded, faded});
        }
    }
    return result;
}

RgbImage crop(const RgbImage& image, Box box) {
    const int left = std::max(box.x, 0);
    const int top = std::max(box.y, 0);
    const int right = std::min(box.x + box.width, image.width());
    const int bottom = std::min(box.y + box.height, image.height());
    if (right <= left || bottom <= top) {
        return {};
    }
    RgbImage result(right - left, bottom - top);
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            result.set(x - left, y - top, image.at(x, y));
        }
    }
    return result;
}

RgbImage resample(const RgbImage& image, int width, int height) {
    RgbImage result(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            // Pixel centres map to pixel centres.
            const int sx = static_cast<int>((x + 0.5) * image.width() / width);
            const int sy = static_cast<int>((y + 0.5) * image.height() / height);
            result.set(x, y, image.at(sx, sy));
        }
    }
    return result;
}

RgbImage readPng(const std::string& path) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&png, path.c_str()) != 0) {
        png.format = PNG_FORMAT_RGB;  // an alpha channel, if any, is composited onto black
        RgbImage image(static_cast<int>(png.width), static_cast<int>(png.height));
        if (png_image_finish_read(&png, nullptr, image.bytes(), 0, nullptr) != 0) {
            return image;
        }
    }
    const std::string message = path + ": " + png.message;
    png_image_free(&png);
    throw std::runtime_error(message);
}

void writePng(const std::string& path, const RgbImage& image) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width());
    png.height = static_cast<png_uint_32>(image.height());
    png.format = PNG_FORMAT_RGB;
    if (png_image_write_to_file(&png, path.c_str(), 0, image.pixels().data(), 0, nullptr) == 0) {
        throw std::runtime_error("cannot write " + path + ": " + png.message);
    }
}

}  // namespace e2e
