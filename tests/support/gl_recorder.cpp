// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

#include "gl_recorder.h"

#include <GL/glut.h>

#include <cstdint>
#include <cstring>
#include <cmath>
#include <initializer_list>

namespace {

std::vector<GlCall> calls;

void record(const char* name, std::initializer_list<double> args = {},
            const void* pointer = nullptr, std::string text = {}) {
    calls.push_back(GlCall{name, std::vector<double>(args), pointer, std::move(text)});
}

}  // namespace

std::vector<GlCall>& glLog() { return calls; }
void clearGlLog() { calls.clear(); }

namespace {

// |value| in hexadecimal as std::to_chars writes it ("1.8p+1", "0p+0"), by
// hand: some C++ libraries (Emscripten's) lack to_chars for doubles, and
// printf's %a differs between C libraries.
std::string hexMagnitude(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const int biased = static_cast<int>(bits >> 52 & 0x7ff);
    std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    if (biased == 0 && fraction == 0) return "0p+0";
    const int exponent = biased == 0 ? -1022 : biased - 1023;
    std::string text = biased == 0 ? "0" : "1";
    if (fraction != 0) {
        text += '.';
        for (int digit = 0; digit < 13 && fraction != 0; ++digit) {
            text += "0123456789abcdef"[fraction >> 48 & 0xf];
            fraction = fraction << 4 & ((std::uint64_t{1} << 52) - 1);
        }
    }
    return text + (exponent < 0 ? "p-" : "p+") + std::to_string(exponent < 0 ? -exponent : exponent);
}

}  // namespace

// The dumps of two builds then compare as text.
void PrintTo(const GlCall& call, std::ostream* os) {
    const char* separator = "";
    const auto item = [&](const auto& value) {
        *os << separator << value;
        separator = ", ";
    };
    *os << call.name << '(';
    for (double arg : call.args) {
        item((std::signbit(arg) ? "-0x" : "0x") + hexMagnitude(arg));
    }
    // The font's address changes from run to run; its identity does not.
    if (call.pointer == bitmapFont8By13()) item("GLUT_BITMAP_8_BY_13");
    else if (call.pointer != nullptr) item(call.pointer);
    if (!call.text.empty()) item('"' + call.text + '"');
    *os << ')';
}

#if !defined(_WIN32)
void* glutBitmap8By13 = nullptr;
#endif
const void* bitmapFont8By13() { return GLUT_BITMAP_8_BY_13; }

// GL
void APIENTRY glClear(GLbitfield mask) { record("glClear", {double(mask)}); }
void APIENTRY glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
    record("glClearColor", {r, g, b, a});
}
void APIENTRY glColor3f(GLfloat r, GLfloat g, GLfloat b) { record("glColor3f", {r, g, b}); }
void APIENTRY glNormal3f(GLfloat x, GLfloat y, GLfloat z) { record("glNormal3f", {x, y, z}); }
void APIENTRY glVertex3f(GLfloat x, GLfloat y, GLfloat z) { record("glVertex3f", {x, y, z}); }
void APIENTRY glBegin(GLenum mode) { record("glBegin", {double(mode)}); }
void APIENTRY glEnd() { record("glEnd"); }
void APIENTRY glEnable(GLenum cap) { record("glEnable", {double(cap)}); }
void APIENTRY glMatrixMode(GLenum mode) { record("glMatrixMode", {double(mode)}); }
void APIENTRY glLoadIdentity() { record("glLoadIdentity"); }
void APIENTRY glLineWidth(GLfloat width) { record("glLineWidth", {width}); }
void APIENTRY glLightfv(GLenum light, GLenum pname, const GLfloat* p) {
    record("glLightfv", {double(light), double(pname), p[0], p[1], p[2], p[3]});
}
void APIENTRY glRasterPos4dv(const GLdouble* p) { record("glRasterPos4dv", {p[0], p[1], p[2], p[3]}); }

// GLU
void APIENTRY gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    record("gluPerspective", {fovy, aspect, zNear, zFar});
}
void APIENTRY gluLookAt(GLdouble ex, GLdouble ey, GLdouble ez, GLdouble cx, GLdouble cy,
                        GLdouble cz, GLdouble ux, GLdouble uy, GLdouble uz) {
    record("gluLookAt", {ex, ey, ez, cx, cy, cz, ux, uy, uz});
}

#if defined(_WIN32)
// The drawing code calls the GL and GLU through the import slots of
// opengl32.dll and glu32.dll: here they hold the stand-ins.
#define IMPORT_SLOT(function) \
    extern "C" const void* const __imp_##function = reinterpret_cast<const void*>(&function);
IMPORT_SLOT(glClear) IMPORT_SLOT(glClearColor) IMPORT_SLOT(glColor3f) IMPORT_SLOT(glNormal3f)
IMPORT_SLOT(glVertex3f) IMPORT_SLOT(glBegin) IMPORT_SLOT(glEnd) IMPORT_SLOT(glEnable)
IMPORT_SLOT(glMatrixMode) IMPORT_SLOT(glLoadIdentity) IMPORT_SLOT(glLineWidth) IMPORT_SLOT(glLightfv)
IMPORT_SLOT(glRasterPos4dv) IMPORT_SLOT(gluPerspective) IMPORT_SLOT(gluLookAt)
#endif

// GLUT
// On Windows freeglut's header sends these two through entry points that also
// take exit(); the stand-ins take their place there.
#if defined(_WIN32)
void FGAPIENTRY __glutInitWithExit(int* argc, char** argv, void(__cdecl*)(int)) {
#else
void FGAPIENTRY glutInit(int* argc, char** argv) {
#endif
    std::string args;
    for (int i = 0; i < *argc; ++i) args += (i ? " " : "") + std::string(argv[i]);
    record("glutInit", {double(*argc)}, argc, args);
}
void FGAPIENTRY glutInitDisplayMode(unsigned int mode) { record("glutInitDisplayMode", {double(mode)}); }
void FGAPIENTRY glutInitWindowSize(int w, int h) { record("glutInitWindowSize", {double(w), double(h)}); }
void FGAPIENTRY glutInitWindowPosition(int x, int y) {
    record("glutInitWindowPosition", {double(x), double(y)});
}
#if defined(_WIN32)
int FGAPIENTRY __glutCreateWindowWithExit(const char* title, void(__cdecl*)(int)) {
#else
int FGAPIENTRY glutCreateWindow(const char* title) {
#endif
    record("glutCreateWindow", {}, nullptr, title);
    return 1;
}
void FGAPIENTRY glutDisplayFunc(void (*callback)()) {
    record("glutDisplayFunc", {}, reinterpret_cast<const void*>(callback));
}
void FGAPIENTRY glutKeyboardFunc(void (*callback)(unsigned char, int, int)) {
    record("glutKeyboardFunc", {}, reinterpret_cast<const void*>(callback));
}
void FGAPIENTRY glutMainLoop() { record("glutMainLoop"); }
void FGAPIENTRY glutSwapBuffers() { record("glutSwapBuffers"); }
void FGAPIENTRY glutPostRedisplay() { record("glutPostRedisplay"); }
void FGAPIENTRY glutBitmapCharacter(void* font, int character) {
    record("glutBitmapCharacter", {double(character)}, font);
}
