// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

#include "tessellation.h"

// freeglut's header also brings in what gl.h needs on Windows.
#include <GL/glut.h>

#include "surfaces.h"

namespace {

constexpr double kGridStart = -1.0;
constexpr double kGridEnd = 1.0;
constexpr double kGridStep = 0.1;
// Raises each outline just above its face so the depth test keeps it visible.
constexpr double kOutlineLift = 0.001;

// A corner in the precision the GL takes, converted once for the face and the
// outline: the lift is added in double precision, before the conversion.
struct Corner {
    GLfloat x;
    GLfloat y;
    GLfloat z;
    GLfloat liftedY;
};

Corner corner(const Vector3& p) {
    return {static_cast<GLfloat>(p.x), static_cast<GLfloat>(p.y), static_cast<GLfloat>(p.z),
            static_cast<GLfloat>(p.y + kOutlineLift)};
}

void drawCell(double ua, double va, double ub, double vb) {
    const Vector3 p1 = surfacePoint(ua, va);
    const Vector3 p2 = surfacePoint(ua, vb);
    const Vector3 p3 = surfacePoint(ub, vb);
    const Vector3 p4 = surfacePoint(ub, va);

    // Never turned towards the viewer: on the cylinder it points at the axis.
    const Vector3 along = (p2 - p1).normalized();
    const Vector3 diagonal = (p3 - p1).normalized();
    const Vector3 n = diagonal.cross(along).normalized();

    // Everything the GL calls need is ready before the first of them, so
    // nothing has to be kept alive across the calls but these floats.
    const Corner c[4] = {corner(p1), corner(p2), corner(p3), corner(p4)};
    const GLfloat nx = static_cast<GLfloat>(n.x);
    const GLfloat ny = static_cast<GLfloat>(n.y);
    const GLfloat nz = static_cast<GLfloat>(n.z);

    glColor3f(1.0f, 1.0f, 1.0f);
    glNormal3f(nx, ny, nz);
    // Written out rather than looped: with loops the compiler stopped inlining
    // drawCell, about 13,000 more instructions a frame.
    glBegin(GL_QUADS);
    glVertex3f(c[0].x, c[0].y, c[0].z);
    glVertex3f(c[1].x, c[1].y, c[1].z);
    glVertex3f(c[2].x, c[2].y, c[2].z);
    glVertex3f(c[3].x, c[3].y, c[3].z);
    glEnd();

    glColor3f(0.0f, 0.0f, 0.0f);
    glNormal3f(0.0f, 0.0f, 0.0f);
    glBegin(GL_LINE_LOOP);
    glVertex3f(c[0].x, c[0].liftedY, c[0].z);
    glVertex3f(c[1].x, c[1].liftedY, c[1].z);
    glVertex3f(c[2].x, c[2].liftedY, c[2].z);
    glVertex3f(c[3].x, c[3].liftedY, c[3].z);
    glEnd();
}

}  // namespace

void drawSurface() {
    // The parameters are accumulated, never recomputed from a counter: the
    // rounding of repeated += 0.1 leaves the last value just under 1.0, so each
    // direction gets 21 cells, and neighbours share their corner parameters.
    for (double u = kGridStart; u <= kGridEnd;) {
        const double ub = u + kGridStep;
        for (double v = kGridStart; v <= kGridEnd;) {
            const double vb = v + kGridStep;
            drawCell(u, v, ub, vb);
            v = vb;
        }
        u = ub;
    }
}
