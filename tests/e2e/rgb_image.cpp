#include "rgb_image.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace e2e {

std::string toString(Rgb colour) {
    return "(" + std::to_string(colour.r) + ", " + std::to_string(colour.g) + ", " +
           std::to_string(colour.b) + ")";
}

bool near(Rgb colour, Rgb expected, int tolerance) {
    return std::abs(colour.r - expected.r) <= tolerance &&
           std::abs(colour.g - expected.g) <= tolerance &&
           std::abs(colour.b - expected.b) <= tolerance;
}

RgbImage::RgbImage(int width, int height, Rgb fill)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height * 3) {
    for (std::size_t i = 0; i < pixels_.size(); i += 3) {
        pixels_[i] = fill.r;
        pixels_[i + 1] = fill.g;
        pixels_[i + 2] = fill.b;
    }
}

Rgb RgbImage::at(int x, int y) const {
    const std::size_t i = (static_cast<std::size_t>(y) * width_ + x) * 3;
    return {pixels_.at(i), pixels_.at(i + 1), pixels_.at(i + 2)};
}

void RgbImage::set(int x, int y, Rgb colour) {
    const std::size_t i = (static_cast<std::size_t>(y) * width_ + x) * 3;
    pixels_.at(i) = colour.r;
    pixels_.at(i + 1) = colour.g;
    pixels_.at(i + 2) = colour.b;
}

bool RgbImage::uniform() const {
    for (std::size_t i = 3; i < pixels_.size(); i += 3) {
        if (!std::equal(pixels_.begin() + i, pixels_.begin() + i + 3, pixels_.begin())) {
            return false;
        }
    }
    return true;
}

long differingPixels(const RgbImage& a, const RgbImage& b) {
    if (a.width() != b.width() || a.height() != b.height()) {
        return static_cast<long>(std::max(a.width() * a.height(), b.width() * b.height()));
    }
    long count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            count += a.at(x, y) != b.at(x, y) ? 1 : 0;
        }
    }
    return count;
}

PixelDifference comparePictures(const RgbImage& got, const RgbImage& expected, int tolerance) {
    PixelDifference result;
    if (got.width() != expected.width() || got.height() != expected.height()) {
        result.sameSize = false;
        result.differing = result.beyondTolerance = differingPixels(got, expected);
        result.largestStep = 255;
        return result;
    }
    const std::vector<std::uint8_t>& a = got.bytes();
    const std::vector<std::uint8_t>& b = expected.bytes();
    for (std::size_t i = 0; i < a.size(); i += 3) {
        int step = 0;
        for (std::size_t c = i; c < i + 3; ++c) {
            step = std::max(step, std::abs(a[c] - b[c]));
        }
        result.differing += step > 0 ? 1 : 0;
        result.beyondTolerance += step > tolerance ? 1 : 0;
        result.largestStep = std::max(result.largestStep, step);
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
            const Rgb a = got.at(x, y);
            const Rgb b = expected.at(x, y);
            const int step = std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
            const auto faded = static_cast<std::uint8_t>(64 + (b.r + b.g + b.b) / 6);
            result.set(x, y, step > tolerance ? Rgb{255, 0, 0}
                             : step > 0       ? Rgb{255, 255, 0}
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

std::uint32_t crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc) {
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

std::uint32_t adler32(const std::uint8_t* data, std::size_t size) {
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (std::size_t i = 0; i < size; ++i) {
        a = (a + data[i]) % 65521u;
        b = (b + a) % 65521u;
    }
    return (b << 16) | a;
}

namespace {

void appendBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

void appendChunk(std::vector<std::uint8_t>& out, const char type[4],
                 const std::vector<std::uint8_t>& data) {
    appendBigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeStart = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    appendBigEndian(out, crc32(out.data() + typeStart, out.size() - typeStart));
}

}  // namespace

std::vector<std::uint8_t> encodePng(const RgbImage& image) {
    // Scanlines, each led by filter type 0 (none).
    std::vector<std::uint8_t> raw;
    const std::size_t rowBytes = static_cast<std::size_t>(image.width()) * 3;
    raw.reserve((rowBytes + 1) * image.height());
    for (int y = 0; y < image.height(); ++y) {
        raw.push_back(0);
        const auto row = image.bytes().begin() + static_cast<std::ptrdiff_t>(rowBytes * y);
        raw.insert(raw.end(), row, row + static_cast<std::ptrdiff_t>(rowBytes));
    }

    // zlib stream of stored deflate blocks, at most 65535 bytes each.
    std::vector<std::uint8_t> zlib = {0x78, 0x01};
    std::size_t offset = 0;
    do {
        const std::size_t length = std::min<std::size_t>(raw.size() - offset, 65535);
        const bool last = offset + length == raw.size();
        zlib.push_back(last ? 1 : 0);
        zlib.push_back(static_cast<std::uint8_t>(length));
        zlib.push_back(static_cast<std::uint8_t>(length >> 8));
        zlib.push_back(static_cast<std::uint8_t>(~length));
        zlib.push_back(static_cast<std::uint8_t>(~length >> 8));
        zlib.insert(zlib.end(), raw.begin() + static_cast<std::ptrdiff_t>(offset),
                    raw.begin() + static_cast<std::ptrdiff_t>(offset + length));
        offset += length;
    } while (offset < raw.size());
    appendBigEndian(zlib, adler32(raw.data(), raw.size()));

    std::vector<std::uint8_t> header;
    appendBigEndian(header, static_cast<std::uint32_t>(image.width()));
    appendBigEndian(header, static_cast<std::uint32_t>(image.height()));
    // 8 bits per channel, colour type 2 (RGB), deflate, adaptive filters, no interlace.
    header.insert(header.end(), {8, 2, 0, 0, 0});

    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    appendChunk(png, "IHDR", header);
    appendChunk(png, "IDAT", zlib);
    appendChunk(png, "IEND", {});
    return png;
}

void writePng(const std::string& path, const RgbImage& image) {
    const std::vector<std::uint8_t> png = encodePng(image);
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    if (!file.flush()) {
        throw std::runtime_error("cannot write " + path);
    }
}

}  // namespace e2e
