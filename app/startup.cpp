// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

#include "startup.h"

#include <GL/glut.h>

#include "app/frame.h"

namespace {

constexpr int kWindowSize = 400;
constexpr int kWindowPosition = 100;
constexpr const char* kWindowTitle = "foo!";

constexpr GLdouble kFieldOfViewDegrees = 45.0;
constexpr GLdouble kAspectRatio = 1.0;
constexpr GLdouble kNearPlane = 0.01;
constexpr GLdouble kFarPlane = 1000.0;

}  // namespace

void startViewer(int* argc, char** argv) {
    // On Windows freeglut's header routes these two through its entry points
    // that take the program's exit routine.
    glutInit(argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB | GLUT_DEPTH);
    glutInitWindowSize(kWindowSize, kWindowSize);
    glutInitWindowPosition(kWindowPosition, kWindowPosition);
    glutCreateWindow(kWindowTitle);

    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);

    // The aspect ratio is fixed: there is no reshape handler, so a non-square
    // window stretches the picture.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kFieldOfViewDegrees, kAspectRatio, kNearPlane, kFarPlane);
    glMatrixMode(GL_MODELVIEW);

    glClearColor(0.2f, 0.2f, 0.7f, 1.0f);
    glLineWidth(2.0f);

    // Set while the model-view matrix is still the identity, so the light stays
    // fixed relative to the camera: a directional light from beyond the scene.
    const GLfloat ambient[4] = {0.3f, 0.3f, 0.3f, 1.0f};
    const GLfloat diffuse[4] = {0.5f, 0.5f, 0.5f, 1.0f};
    const GLfloat position[4] = {0.0f, 0.0f, -10.0f, 0.0f};
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);  // a second time, redundant but harmless
    glEnable(GL_COLOR_MATERIAL);

    glutDisplayFunc(display);
    glutKeyboardFunc(keyboard);
    glutMainLoop();
}
