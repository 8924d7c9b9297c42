// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

// Writes the viewer's seven pictures, as the end-to-end harness captures
// them, to DIRECTORY/surface-0.png ... surface-6.png.
// scripts/gallery compresses them into docs/gallery/.

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "tests/e2e/viewer_support.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
        return 2;
    }
    try {
        e2e::XSession session;
        e2e::LaunchedViewer viewer = e2e::launchViewer(session);
        const std::vector<e2e::RgbImage> frames = e2e::captureEverySurface(session, viewer);
        for (std::size_t i = 0; i < frames.size(); ++i) {
            const std::string path = std::string(argv[1]) + "/surface-" + std::to_string(i) + ".png";
            e2e::writePng(path, frames[i]);
            std::printf("%s\n", path.c_str());
        }
        session.pressKey("Escape");
        const auto status = viewer.process.waitFor(std::chrono::seconds(5));
        if (!status || !status->exitedWith(1)) {
            std::fprintf(stderr, "the viewer did not end with status 1 after Esc%s\n",
                         e2e::describe(viewer.process).c_str());
            return 1;
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "gallery_capture: %s\n", error.what());
        return 1;
    }
    return 0;
}
