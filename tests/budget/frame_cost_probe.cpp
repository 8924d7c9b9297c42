// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

// One frame of drawSurface per surface, for callgrind to count: the script
// beside this file collects inside countedFrame only and dumps after each call.

#include "app/current_surface.h"
#include "geometry/surfaces.h"
#include "geometry/tessellation.h"

extern "C" [[gnu::noinline]] void countedFrame() { drawSurface(); }

int main() {
    for (unsigned surface = 0; surface < surfaceCount; ++surface) {
        currentSurface = surface;
        // A frame outside the count first, so that lazy symbol binding and
        // cold caches of the loader are not charged to the frame.
        drawSurface();
        countedFrame();
    }
}
