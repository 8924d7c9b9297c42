// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

#pragma once

// What the GL layer hands to WebGL: triangles whose corners are already
// transformed to clip coordinates and lit.
struct WebVertex {
    float position[4];
    float color[4];
};

// Appends a triangle to the frame's buffers, drawing them first if full.
void webEmitTriangle(const WebVertex& a, const WebVertex& b, const WebVertex& c);

// Appends the two triangles (a, b, c) and (a, c, d) of a quadrilateral, or
// with alongBD (a, b, d) and (b, c, d), its four corners stored once: the
// frame's upload is about a quarter smaller than as separate triangles. The
// triangles keep their corners' order, which decides some edge pixels.
void webEmitQuad(const WebVertex& a, const WebVertex& b, const WebVertex& c, const WebVertex& d,
                 bool alongBD = false);

// Draws what is buffered, then clears the chosen buffers.
void webClear(const float color[4], bool colorBuffer, bool depthBuffer);

void webSetDepthTest(bool enabled);

// Draws what is buffered: the end of a frame.
void webFlush();

// glBitmap at the current raster position, as glutBitmapCharacter uses it:
// rows bottom first, each padded to whole bytes, leftmost pixel in the top bit.
// False if nothing is drawn: the raster position is outside the window.
bool webDrawBitmap(int width, int height, float xorig, float yorig, float xmove,
                   const unsigned char* rows);
