// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

#include "frame.h"

#include <GL/glut.h>

#include <cstdlib>

#include "app/current_surface.h"
#include "app/decorations.h"
#include "geometry/surfaces.h"
#include "geometry/tessellation.h"

namespace {

constexpr unsigned char kEscape = 27;
constexpr int kEscapeExitStatus = 1;

}  // namespace

void display() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor3f(1.0f, 1.0f, 1.0f);
    glLoadIdentity();
    gluLookAt(10.0, 10.0, 10.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    drawAxes();
    drawSurface();
    drawLabel();
    glutSwapBuffers();
}

void keyboard(unsigned char key, int /*x*/, int /*y*/) {
    if (key == kEscape) {
        std::exit(kEscapeExitStatus);
    }
    currentSurface = (currentSurface + 1) % surfaceCount;
    glutPostRedisplay();
}
