#pragma once

// What the GL layer hands to WebGL: triangles whose corners are already
// transformed to clip coordinates and lit.
struct WebVertex {
    float position[4];
    float color[4];
};

// Appends a triangle to the frame's buffer, drawing the buffer first if full.
void webEmitTriangle(const WebVertex& a, const WebVertex& b, const WebVertex& c);

// Draws what is buffered, then clears the chosen buffers.
void webClear(const float color[4], bool colorBuffer, bool depthBuffer);

void webSetDepthTest(bool enabled);

// Draws what is buffered: the end of a frame.
void webFlush();

// glBitmap at the current raster position, as glutBitmapCharacter uses it:
// rows bottom first, each padded to whole bytes, leftmost pixel in the top bit.
void webDrawBitmap(int width, int height, float xorig, float yorig, float xmove,
                   const unsigned char* rows);
