// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

// TURNS full turns of the surface cycle, a key and then the frame it asks
// for, for valgrind to count the heap allocations. The script beside this file
// runs it with two different TURNS: the totals must be equal, so a frame
// allocates nothing. Usage: frame_allocation_probe TURNS

#include <cstdio>
#include <cstdlib>

#include "app/current_surface.h"
#include "app/frame.h"
#include "geometry/surfaces.h"
#include "tests/support/gl_null.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const unsigned long turns = std::strtoul(argv[1], nullptr, 10);

    currentSurface = 0;
    display();  // whatever happens once is not per frame
    resetGlNullCounts();

    for (unsigned long press = 0; press < turns * surfaceCount; ++press) {
        keyboard(' ', 0, 0);
        display();
    }

    // The frames really ran: 882 primitives of the surface and one of the axes each.
    const unsigned long expected = turns * surfaceCount * 883;
    if (currentSurface != 0 || glNullPrimitives() != expected) {
        std::fprintf(stderr, "surface %u after the turns, %lu primitives, expected %lu\n",
                     currentSurface, glNullPrimitives(), expected);
        return 1;
    }
    return 0;
}
