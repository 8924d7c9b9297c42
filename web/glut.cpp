// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

// The GLUT entry points the viewer calls, over the page: the window is a
// canvas, the main loop is the browser's, and the display callback runs once
// after each batch of redisplay requests, never on its own.

#include <GL/glut.h>
#include <emscripten.h>

#include "web/gl_stream.h"

#include <initializer_list>

namespace {

// Indices are 16 bits wide, so a draw takes at most 65536 vertices.
constexpr int kMaxVertices = 65536;
constexpr int kMaxIndices = 3 * kMaxVertices / 2;
WebVertex frameVertices[kMaxVertices];
unsigned short frameIndices[kMaxIndices];
int vertexCount = 0;
int indexCount = 0;

void (*displayCallback)() = nullptr;
void (*keyboardCallback)(unsigned char, int, int) = nullptr;

int windowX = -1, windowY = -1, windowWidth = 300, windowHeight = 300;

// The characters drawn since the last swap: the page tells them, as text,
// to a screen reader.
char frameText[256];
int frameTextLength = 0;

// freeglut's own 8 by 13 font, taken from its library at build time.
#include "glyphs_8x13.inc"

}  // namespace

void* glutBitmap8By13 = nullptr;

// Provided by web/page.js.
extern "C" {
void webPageCreateWindow(const char* title, int x, int y, int width, int height);
void webPagePostRedisplay();
void webPageDraw(const WebVertex* vertices, int vertexCount, const unsigned short* indices, int indexCount);
void webPageClear(float r, float g, float b, float a, int colorBuffer, int depthBuffer);
void webPageDepthTest(int enabled);
void webPageSwap(const char* text, int length);
[[noreturn]] void webPageMainLoop();
}

namespace {

// Room for `vertices` more corners and `indices` more indices, drawing what
// is buffered first if there is none; returns the first new corner's index.
unsigned short reserve(int vertices, int indices) {
    if (vertexCount + vertices > kMaxVertices || indexCount + indices > kMaxIndices) webFlush();
    const int first = vertexCount;
    vertexCount += vertices;
    return static_cast<unsigned short>(first);
}

void index(unsigned short first, std::initializer_list<int> corners) {
    for (int corner : corners) frameIndices[indexCount++] = static_cast<unsigned short>(first + corner);
}

}  // namespace

void webEmitTriangle(const WebVertex& a, const WebVertex& b, const WebVertex& c) {
    const unsigned short first = reserve(3, 3);
    frameVertices[first] = a;
    frameVertices[first + 1] = b;
    frameVertices[first + 2] = c;
    index(first, {0, 1, 2});
}

void webEmitQuad(const WebVertex& a, const WebVertex& b, const WebVertex& c, const WebVertex& d,
                 bool alongBD) {
    const unsigned short first = reserve(4, 6);
    frameVertices[first] = a;
    frameVertices[first + 1] = b;
    frameVertices[first + 2] = c;
    frameVertices[first + 3] = d;
    if (alongBD) index(first, {0, 1, 3, 1, 2, 3});
    else index(first, {0, 1, 2, 0, 2, 3});
}

void webFlush() {
    if (indexCount > 0) webPageDraw(frameVertices, vertexCount, frameIndices, indexCount);
    vertexCount = 0;
    indexCount = 0;
}

void webClear(const float color[4], bool colorBuffer, bool depthBuffer) {
    webFlush();
    webPageClear(color[0], color[1], color[2], color[3], colorBuffer, depthBuffer);
}

void webSetDepthTest(bool enabled) {
    webFlush();
    webPageDepthTest(enabled);
}

extern "C" {

// Called by the page.
EMSCRIPTEN_KEEPALIVE void webDisplay() {
    if (displayCallback != nullptr) displayCallback();
}

EMSCRIPTEN_KEEPALIVE void webKey(int code, int x, int y) {
    if (keyboardCallback != nullptr) keyboardCallback(static_cast<unsigned char>(code), x, y);
}

void glutInit(int* /*argc*/, char** /*argv*/) {}
void glutInitDisplayMode(unsigned int /*mode*/) {}

void glutInitWindowSize(int width, int height) {
    windowWidth = width;
    windowHeight = height;
}

void glutInitWindowPosition(int x, int y) {
    windowX = x;
    windowY = y;
}

int glutCreateWindow(const char* title) {
    webPageCreateWindow(title, windowX, windowY, windowWidth, windowHeight);
    return 1;
}

void glutDisplayFunc(void (*callback)()) { displayCallback = callback; }
void glutKeyboardFunc(void (*callback)(unsigned char, int, int)) { keyboardCallback = callback; }

void glutPostRedisplay() { webPagePostRedisplay(); }

void glutSwapBuffers() {
    webFlush();
    webPageSwap(frameText, frameTextLength);
    frameTextLength = 0;
}

void glutMainLoop() {
    // The window's first exposure asks for the first frame.
    webPagePostRedisplay();
    // The browser's event loop takes over; main never returns.
    webPageMainLoop();
}

void glutBitmapCharacter(void* font, int character) {
    // freeglut draws nothing for code 0 either.
    if (font != GLUT_BITMAP_8_BY_13 || character < 1 || character > 255) return;
    const unsigned char* glyph = kGlyphs[character];
    const bool drawn = webDrawBitmap(glyph[0], kGlyphHeight, kGlyphXOrigin, kGlyphYOrigin, glyph[0], glyph + 1);
    if (drawn && frameTextLength < 256) frameText[frameTextLength++] = static_cast<char>(character);
}

}  // extern "C"
