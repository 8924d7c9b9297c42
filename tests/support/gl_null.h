// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

#pragma once

// A do-nothing stand-in for the GL, GLU and GLUT entry points the viewer calls,
// linked in place of the real libraries where the drawing code's own cost is
// what matters: it records nothing and allocates nothing, it only counts primitives.

// glBegin calls since the last resetGlNullCounts(): the primitives drawn.
unsigned long glNullPrimitives();
void resetGlNullCounts();
