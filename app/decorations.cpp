// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

#include "decorations.h"

#include <GL/glut.h>

#include "app/current_surface.h"
#include "geometry/surfaces.h"

namespace {

constexpr GLfloat kAxisReach = 300.0f;
// A point of the scene, not of the screen: it follows the camera and projection.
constexpr GLdouble kLabelAnchor[4] = {-12.0, 3.0, 0.0, 1.0};

}  // namespace

void drawAxes() {
    // No colour or normal of its own: the axes take the frame's white and the
    // zero normal the previous label left behind.
    glBegin(GL_LINES);
    glVertex3f(-kAxisReach, 0.0f, 0.0f);
    glVertex3f(kAxisReach, 0.0f, 0.0f);
    glVertex3f(0.0f, -kAxisReach, 0.0f);
    glVertex3f(0.0f, kAxisReach, 0.0f);
    glVertex3f(0.0f, 0.0f, -kAxisReach);
    glVertex3f(0.0f, 0.0f, kAxisReach);
    glEnd();
}

void drawLabel() {
    // Still lit: with a zero normal only the ambient terms count, so the text
    // comes out mid grey rather than white.
    glColor3f(1.0f, 1.0f, 1.0f);
    glNormal3f(0.0f, 0.0f, 0.0f);
    glRasterPos4dv(kLabelAnchor);
    for (const char* c = surfaceLabels[currentSurface]; *c != '\0'; ++c) {
        glutBitmapCharacter(GLUT_BITMAP_8_BY_13, static_cast<unsigned char>(*c));
    }
}
