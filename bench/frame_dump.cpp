// Prints every GL call of one frame of each surface, all arguments at full
// precision. Diff its output before and after a change to the geometry: any
// change of a single bit in a vertex or normal shows up.

#include <iostream>

#include "app/current_surface.h"
#include "app/frame.h"
#include "geometry/surfaces.h"
#include "tests/support/gl_recorder.h"

int main() {
    for (unsigned surface = 0; surface < surfaceCount; ++surface) {
        currentSurface = surface;
        clearGlLog();
        display();
        std::cout << "surface " << surface << ": " << glLog().size() << " calls\n";
        for (GlCall call : glLog()) {
            // The font's address changes from run to run; its identity does not.
            if (call.pointer == bitmapFont8By13()) {
                call.pointer = nullptr;
                call.text = "GLUT_BITMAP_8_BY_13";
            }
            PrintTo(call, &std::cout);
            std::cout << '\n';
        }
    }
}
