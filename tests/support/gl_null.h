#pragma once

// A do-nothing stand-in for the GL, GLU and GLUT entry points the viewer calls,
// linked in place of the real libraries where the drawing code's own cost is
// what matters: it records nothing and allocates nothing, it only counts.

struct GlNullCounts {
    unsigned long calls = 0;
    unsigned long primitives = 0;  // glBegin
    unsigned long vertices = 0;    // glVertex3f
};

// What was called since the last resetGlNullCounts().
const GlNullCounts& glNullCounts();
void resetGlNullCounts();
