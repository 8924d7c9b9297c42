#include "gl_null.h"

#include <GL/glut.h>

namespace {

GlNullCounts counts;

inline void called() { ++counts.calls; }

}  // namespace

const GlNullCounts& glNullCounts() { return counts; }
void resetGlNullCounts() { counts = GlNullCounts{}; }

#if !defined(_WIN32)
void* glutBitmap8By13 = nullptr;
#endif

// GL
void APIENTRY glClear(GLbitfield) { called(); }
void APIENTRY glClearColor(GLclampf, GLclampf, GLclampf, GLclampf) { called(); }
void APIENTRY glColor3f(GLfloat, GLfloat, GLfloat) { called(); }
void APIENTRY glNormal3f(GLfloat, GLfloat, GLfloat) { called(); }
void APIENTRY glVertex3f(GLfloat, GLfloat, GLfloat) {
    called();
    ++counts.vertices;
}
void APIENTRY glBegin(GLenum) {
    called();
    ++counts.primitives;
}
void APIENTRY glEnd() { called(); }
void APIENTRY glEnable(GLenum) { called(); }
void APIENTRY glMatrixMode(GLenum) { called(); }
void APIENTRY glLoadIdentity() { called(); }
void APIENTRY glLineWidth(GLfloat) { called(); }
void APIENTRY glLightfv(GLenum, GLenum, const GLfloat*) { called(); }
void APIENTRY glRasterPos4dv(const GLdouble*) { called(); }

// GLU
void APIENTRY gluPerspective(GLdouble, GLdouble, GLdouble, GLdouble) { called(); }
void APIENTRY gluLookAt(GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble,
                        GLdouble, GLdouble) {
    called();
}

// GLUT
void FGAPIENTRY glutInit(int*, char**) { called(); }
void FGAPIENTRY glutInitDisplayMode(unsigned int) { called(); }
void FGAPIENTRY glutInitWindowSize(int, int) { called(); }
void FGAPIENTRY glutInitWindowPosition(int, int) { called(); }
int FGAPIENTRY glutCreateWindow(const char*) {
    called();
    return 1;
}
void FGAPIENTRY glutDisplayFunc(void (*)()) { called(); }
void FGAPIENTRY glutKeyboardFunc(void (*)(unsigned char, int, int)) { called(); }
void FGAPIENTRY glutMainLoop() { called(); }
void FGAPIENTRY glutSwapBuffers() { called(); }
void FGAPIENTRY glutPostRedisplay() { called(); }
void FGAPIENTRY glutBitmapCharacter(void*, int) { called(); }
