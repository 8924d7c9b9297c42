// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

#include "gl_null.h"

#include <GL/glut.h>

namespace {

unsigned long primitives = 0;

}  // namespace

unsigned long glNullPrimitives() { return primitives; }
void resetGlNullCounts() { primitives = 0; }

#if !defined(_WIN32)
void* glutBitmap8By13 = nullptr;
#endif

// GL
void APIENTRY glClear(GLbitfield) {}
void APIENTRY glClearColor(GLclampf, GLclampf, GLclampf, GLclampf) {}
void APIENTRY glColor3f(GLfloat, GLfloat, GLfloat) {}
void APIENTRY glNormal3f(GLfloat, GLfloat, GLfloat) {}
void APIENTRY glVertex3f(GLfloat, GLfloat, GLfloat) {}
void APIENTRY glBegin(GLenum) { ++primitives; }
void APIENTRY glEnd() {}
void APIENTRY glEnable(GLenum) {}
void APIENTRY glMatrixMode(GLenum) {}
void APIENTRY glLoadIdentity() {}
void APIENTRY glLineWidth(GLfloat) {}
void APIENTRY glLightfv(GLenum, GLenum, const GLfloat*) {}
void APIENTRY glRasterPos4dv(const GLdouble*) {}

// GLU
void APIENTRY gluPerspective(GLdouble, GLdouble, GLdouble, GLdouble) {}
void APIENTRY gluLookAt(GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble,
                        GLdouble, GLdouble) {}

// GLUT
void FGAPIENTRY glutInit(int*, char**) {}
void FGAPIENTRY glutInitDisplayMode(unsigned int) {}
void FGAPIENTRY glutInitWindowSize(int, int) {}
void FGAPIENTRY glutInitWindowPosition(int, int) {}
int FGAPIENTRY glutCreateWindow(const char*) { return 1; }
void FGAPIENTRY glutDisplayFunc(void (*)()) {}
void FGAPIENTRY glutKeyboardFunc(void (*)(unsigned char, int, int)) {}
void FGAPIENTRY glutMainLoop() {}
void FGAPIENTRY glutSwapBuffers() {}
void FGAPIENTRY glutPostRedisplay() {}
void FGAPIENTRY glutBitmapCharacter(void*, int) {}
