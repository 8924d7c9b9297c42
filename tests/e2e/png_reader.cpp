#include "png_reader.h"

#include <zlib.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace e2e {

namespace {

std::uint32_t bigEndian(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    if (at + 4 > bytes.size()) {
        throw std::runtime_error("PNG: truncated");
    }
    return (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) |
           (std::uint32_t{bytes[at + 2]} << 8) | bytes[at + 3];
}

// The Paeth predictor of the PNG format.
std::uint8_t paeth(int left, int up, int upLeft) {
    const int p = left + up - upLeft;
    const int pa = std::abs(p - left);
    const int pb = std::abs(p - up);
    const int pc = std::abs(p - upLeft);
    if (pa <= pb && pa <= pc) return static_cast<std::uint8_t>(left);
    return static_cast<std::uint8_t>(pb <= pc ? up : upLeft);
}

}  // namespace

RgbImage decodePng(const std::vector<std::uint8_t>& png) {
    const std::vector<std::uint8_t> signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (png.size() < 8 || !std::equal(signature.begin(), signature.end(), png.begin())) {
        throw std::runtime_error("PNG: no PNG signature");
    }
    int width = 0;
    int height = 0;
    int channels = 0;
    std::vector<std::uint8_t> zlibStream;
    for (std::size_t at = 8;;) {
        const std::uint32_t length = bigEndian(png, at);
        if (length > png.size() || at + 12 + length > png.size()) {
            throw std::runtime_error("PNG: truncated chunk");
        }
        const std::string type(png.begin() + at + 4, png.begin() + at + 8);
        if (bigEndian(png, at + 8 + length) != crc32(&png[at + 4], length + 4)) {
            throw std::runtime_error("PNG: bad CRC in chunk " + type);
        }
        const auto data = png.begin() + static_cast<std::ptrdiff_t>(at + 8);
        if (type == "IHDR") {
            width = static_cast<int>(bigEndian(png, at + 8));
            height = static_cast<int>(bigEndian(png, at + 12));
            const int depth = data[8];
            const int colourType = data[9];
            const int interlace = data[12];
            if (depth != 8 || (colourType != 2 && colourType != 6) || interlace != 0 ||
                width <= 0 || height <= 0 || width > 16384 || height > 16384) {
                throw std::runtime_error("PNG: only 8-bit RGB or RGBA, not interlaced");
            }
            channels = colourType == 2 ? 3 : 4;
        } else if (type == "IDAT") {
            zlibStream.insert(zlibStream.end(), data, data + length);
        } else if (type == "IEND") {
            break;
        }
        at += 12 + length;
    }
    if (channels == 0) {
        throw std::runtime_error("PNG: no IHDR chunk");
    }

    const std::size_t rowBytes = static_cast<std::size_t>(width) * channels;
    std::vector<std::uint8_t> raw((rowBytes + 1) * height);
    uLongf rawSize = raw.size();
    if (uncompress(raw.data(), &rawSize, zlibStream.data(), zlibStream.size()) != Z_OK ||
        rawSize != raw.size()) {
        throw std::runtime_error("PNG: the pixel data does not inflate to the image's size");
    }

    // Undo the filters in place, row by row, each against the one above.
    RgbImage image(width, height);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = &raw[y * (rowBytes + 1) + 1];
        const std::uint8_t* above = y > 0 ? row - (rowBytes + 1) : nullptr;
        const int filter = row[-1];
        for (std::size_t i = 0; i < rowBytes; ++i) {
            const int left = i >= static_cast<std::size_t>(channels) ? row[i - channels] : 0;
            const int up = above != nullptr ? above[i] : 0;
            const int upLeft =
                above != nullptr && i >= static_cast<std::size_t>(channels) ? above[i - channels] : 0;
            switch (filter) {
            case 0: break;
            case 1: row[i] = static_cast<std::uint8_t>(row[i] + left); break;
            case 2: row[i] = static_cast<std::uint8_t>(row[i] + up); break;
            case 3: row[i] = static_cast<std::uint8_t>(row[i] + (left + up) / 2); break;
            case 4: row[i] = static_cast<std::uint8_t>(row[i] + paeth(left, up, upLeft)); break;
            default: throw std::runtime_error("PNG: unknown filter " + std::to_string(filter));
            }
        }
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = row + static_cast<std::ptrdiff_t>(x) * channels;
            image.set(x, y, {p[0], p[1], p[2]});
        }
    }
    return image;
}

RgbImage readPng(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw std::runtime_error("cannot open " + path);
    }
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file),
                                          std::istreambuf_iterator<char>()};
    try {
        return decodePng(bytes);
    } catch (const std::runtime_error& error) {
        throw std::runtime_error(path + ": " + error.what());
    }
}

}  // namespace e2e
