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

void vertex(const Vector3& p) {
    glVertex3f(static_cast<GLfloat>(p.x), static_cast<GLfloat>(p.y), static_cast<GLfloat>(p.z));
}

// The lift is added in double precision, before the conversion to float.
void liftedVertex(const Vector3& p) {
    glVertex3f(static_cast<GLfloat>(p.x), static_cast<GLfloat>(p.y + kOutlineLift),
               static_cast<GLfloat>(p.z));
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

    glColor3f(1.0f, 1.0f, 1.0f);
    glNormal3f(static_cast<GLfloat>(n.x), static_cast<GLfloat>(n.y), static_cast<GLfloat>(n.z));
    glBegin(GL_QUADS);
    vertex(p1);
    vertex(p2);
    vertex(p3);
    vertex(p4);
    glEnd();

    glColor3f(0.0f, 0.0f, 0.0f);
    glNormal3f(0.0f, 0.0f, 0.0f);
    glBegin(GL_LINE_LOOP);
    liftedVertex(p1);
    liftedVertex(p2);
    liftedVertex(p3);
    liftedVertex(p4);
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
