// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

// Start-up and the keyboard, checked call by call through the recording stand-in.

#include <GL/glut.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/current_surface.h"
#include "app/frame.h"
#include "app/startup.h"
#include "geometry/surfaces.h"
#include "tests/support/gl_recorder.h"

namespace {

const void* address(void (*function)()) { return reinterpret_cast<const void*>(function); }
const void* address(void (*function)(unsigned char, int, int)) {
    return reinterpret_cast<const void*>(function);
}

TEST(Startup, SetsTheWholeRenderStateOnceInOrderThenEntersTheLoop) {
    char program[] = "surface-viewer";
    char option[] = "-iconic";
    char* argv[] = {program, option, nullptr};
    int argc = 2;
    clearGlLog();
    startViewer(&argc, argv);

    // The arguments go to GLUT untouched, by the caller's own count.
    const std::vector<GlCall> expected = {
        glCall("glutInit", {2}, &argc, "surface-viewer -iconic"),
        glCall("glutInitDisplayMode", {GLUT_DOUBLE | GLUT_RGB | GLUT_DEPTH}),
        glCall("glutInitWindowSize", {400, 400}),
        glCall("glutInitWindowPosition", {100, 100}),
        glCall("glutCreateWindow", {}, nullptr, "foo!"),
        glCall("glEnable", {GL_DEPTH_TEST}),
        glCall("glEnable", {GL_LIGHTING}),
        glCall("glMatrixMode", {GL_PROJECTION}),
        glCall("glLoadIdentity"),
        glCall("gluPerspective", {45.0, 1.0, 0.01, 1000.0}),
        glCall("glMatrixMode", {GL_MODELVIEW}),
        glCall("glClearColor", {0.2f, 0.2f, 0.7f, 1.0f}),
        glCall("glLineWidth", {2.0}),
        glCall("glLightfv", {GL_LIGHT0, GL_AMBIENT, 0.3f, 0.3f, 0.3f, 1.0f}),
        glCall("glLightfv", {GL_LIGHT0, GL_DIFFUSE, 0.5f, 0.5f, 0.5f, 1.0f}),
        // w = 0: a directional light, fixed in eye space behind the scene.
        glCall("glLightfv", {GL_LIGHT0, GL_POSITION, 0.0, 0.0, -10.0, 0.0}),
        glCall("glEnable", {GL_LIGHT0}),
        glCall("glEnable", {GL_LIGHTING}),
        glCall("glEnable", {GL_COLOR_MATERIAL}),
        glCall("glutDisplayFunc", {}, address(display)),
        glCall("glutKeyboardFunc", {}, address(keyboard)),
        glCall("glutMainLoop"),
    };
    EXPECT_EQ(glLog(), expected);
}

TEST(Keyboard, EveryCharacterButEscapeShowsTheNextSurface) {
    currentSurface = 0;
    unsigned expected = 0;
    for (int key = 0; key <= 255; ++key) {
        if (key == 27) continue;
        clearGlLog();
        keyboard(static_cast<unsigned char>(key), 123, -4);
        expected = (expected + 1) % 7;
        ASSERT_EQ(currentSurface, expected) << "key " << key;
        ASSERT_EQ(glLog(), std::vector<GlCall>{glCall("glutPostRedisplay")}) << "key " << key;
    }
    // 255 keys: round the cycle 36 times and three more.
    EXPECT_EQ(currentSurface, 3u);
    currentSurface = 0;
}

// Checked at exit, so only if the exit handlers run; reports what was posted.
void reportCallsAtExit() {
    std::fprintf(stderr, "calls at exit: %zu\n", glLog().size());
}

TEST(KeyboardDeathTest, EscapeExitsWithStatusOneThroughTheExitHandlers) {
    currentSurface = 4;
    EXPECT_EXIT(
        {
            clearGlLog();
            std::atexit(reportCallsAtExit);
            keyboard(27, 0, 0);
            std::fprintf(stderr, "still running\n");
        },
        ::testing::ExitedWithCode(1), "^calls at exit: 0\n$");
    EXPECT_EQ(currentSurface, 4u);
    currentSurface = 0;
}

}  // namespace
