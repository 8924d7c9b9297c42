// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

// The fixed-function GL 1.1 and GLU entry points the viewer calls, over WebGL.
// WebGL has no matrices, lighting, wide lines or raster position, so this
// layer does that work itself, as a GL 1.1 implementation does it on the
// CPU: vertices are transformed and lit here, wide lines and bitmaps become
// triangles, and WebGL only clips, tests depth and fills. Everything the
// frame emits goes into one fixed buffer, in call order, and is drawn when
// the buffer fills or the frame is swapped.

#include "web/gl_stream.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <initializer_list>

namespace {

constexpr float kViewportSize = 400.0f;
constexpr float kHalfViewport = kViewportSize / 2.0f;
// The default scene ambient of GL's light model.
constexpr float kSceneAmbient = 0.2f;

// Column-major, as the GL keeps them.
struct Matrix {
    float m[16];
};

constexpr Matrix kIdentity = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};

struct State {
    Matrix modelview = kIdentity;
    Matrix projection = kIdentity;
    Matrix* current = &modelview;
    float color[4] = {1, 1, 1, 1};
    float normal[3] = {0, 0, 1};
    float clearColor[4] = {0, 0, 0, 0};
    float lineWidth = 1.0f;
    bool lighting = false;
    bool light0 = false;
    bool colorMaterial = false;
    bool depthTest = false;
    float lightAmbient[4] = {0, 0, 0, 1};
    float lightDiffuse[4] = {1, 1, 1, 1};
    // Towards the light, in eye coordinates, unit length.
    float lightDirection[3] = {0, 0, 1};
    // The material when colour material is off: GL's initial values.
    float materialAmbient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    float materialDiffuse[4] = {0.8f, 0.8f, 0.8f, 1.0f};

    GLenum primitive = 0;
    int count = 0;  // vertices since glBegin
    WebVertex first{};
    WebVertex pending[3]{};

    bool rasterValid = false;
    float raster[3] = {0, 0, 0};  // window x, y and normalised device z
    float rasterColor[4] = {1, 1, 1, 1};
};

State state;

Matrix multiply(const Matrix& a, const Matrix& b) {
    Matrix r{};
    for (int col = 0; col < 4; ++col) {
        for (int row = 0; row < 4; ++row) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += a.m[k * 4 + row] * b.m[col * 4 + k];
            r.m[col * 4 + row] = sum;
        }
    }
    return r;
}

void transform(const Matrix& a, const float in[4], float out[4]) {
    for (int row = 0; row < 4; ++row) {
        out[row] = a.m[row] * in[0] + a.m[4 + row] * in[1] + a.m[8 + row] * in[2] +
                   a.m[12 + row] * in[3];
    }
}

void multiplyCurrent(const Matrix& by) { *state.current = multiply(*state.current, by); }

// The normal in eye coordinates: multiplied by the inverse transpose of the
// model-view's upper 3x3, and, as GL_NORMALIZE is off, not rescaled.
void eyeNormal(float out[3]) {
    const float* m = state.modelview.m;
    const float a = m[0], b = m[4], c = m[8];
    const float d = m[1], e = m[5], f = m[9];
    const float g = m[2], h = m[6], i = m[10];
    const float co[9] = {e * i - f * h, f * g - d * i, d * h - e * g,
                         c * h - b * i, a * i - c * g, b * g - a * h,
                         b * f - c * e, c * d - a * f, a * e - b * d};
    const float det = a * co[0] + b * co[1] + c * co[2];
    const float* n = state.normal;
    // Row vector times the inverse, whose columns are the cofactor rows.
    for (int k = 0; k < 3; ++k) {
        out[k] = (n[0] * co[3 * k] + n[1] * co[3 * k + 1] + n[2] * co[3 * k + 2]) / det;
    }
}

float clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

// The colour of a vertex: the current colour, or with lighting on the GL's
// lighting equation for one directional light without specular terms.
void shade(float out[4]) {
    if (!state.lighting) {
        for (int k = 0; k < 4; ++k) out[k] = state.color[k];
        return;
    }
    const float* ambient = state.colorMaterial ? state.color : state.materialAmbient;
    const float* diffuse = state.colorMaterial ? state.color : state.materialDiffuse;
    float n[3];
    eyeNormal(n);
    float facing = 0.0f;
    if (state.light0) {
        const float* l = state.lightDirection;
        facing = std::fmax(n[0] * l[0] + n[1] * l[1] + n[2] * l[2], 0.0f);
    }
    for (int k = 0; k < 3; ++k) {
        float c = kSceneAmbient * ambient[k];
        if (state.light0) c += state.lightAmbient[k] * ambient[k] + facing * state.lightDiffuse[k] * diffuse[k];
        out[k] = clamp01(c);
    }
    out[3] = clamp01(diffuse[3]);
}

WebVertex vertexAt(float x, float y, float z, float w) {
    const float object[4] = {x, y, z, w};
    float eye[4];
    transform(state.modelview, object, eye);
    WebVertex v{};
    transform(state.projection, eye, v.position);
    shade(v.color);
    return v;
}

float toWindow(float ndc) { return (ndc + 1.0f) * kHalfViewport; }
float toDevice(float window) { return window / kHalfViewport - 1.0f; }

// The point `t` of the way from `from` to `to`.
WebVertex mix(const WebVertex& from, const WebVertex& to, float t) {
    WebVertex r{};
    for (int k = 0; k < 4; ++k) {
        r.position[k] = from.position[k] + t * (to.position[k] - from.position[k]);
        r.color[k] = from.color[k] + t * (to.color[k] - from.color[k]);
    }
    return r;
}

// Clips a segment to the view volume in clip coordinates (Liang and Barsky's
// parametric method); false if nothing is left. As a GL's clipper does, an
// end that is not cut stays as it was, and a cut end is interpolated from its
// own vertex. Computed from the other vertex, the end took that vertex's
// rounding: on surface 1/u, where corners lie 300,000 units away, about 0.03
// in clip coordinates, which put outlines that the cells hide up to 1e-3 in
// front of them in depth; even ends that were not cut moved.
bool clipSegment(WebVertex& a, WebVertex& b) {
    float cutA = 0.0f, cutB = 0.0f;  // the fractions cut off at each end
    for (int axis = 0; axis < 3; ++axis) {
        for (float sign : {1.0f, -1.0f}) {
            // Inside where w - sign * coordinate >= 0.
            const float da = a.position[3] - sign * a.position[axis];
            const float db = b.position[3] - sign * b.position[axis];
            if (da < 0.0f && db < 0.0f) return false;
            if (da < 0.0f) cutA = std::fmax(cutA, da / (da - db));
            if (db < 0.0f) cutB = std::fmax(cutB, db / (db - da));
        }
    }
    if (cutA + cutB > 1.0f) return false;
    const WebVertex start = cutA > 0.0f ? mix(a, b, cutA) : a;
    if (cutB > 0.0f) b = mix(b, a, cutB);
    a = start;
    // The cut ends keep the far vertex's rounding, as a GL's do: they may lie
    // a little outside the volume (up to 0.4% on surface 1/u), which is
    // harmless across x and y, and in depth is clamped below. Their w is at
    // least 9 in every frame; a w of the wrong sign, from a segment cut at the
    // near plane, would turn the line around, so such a line is dropped.
    return a.position[3] > 0.0f && b.position[3] > 0.0f;
}

// GL's rule for wide aliased lines: an x-major line is widened vertically
// and a y-major line horizontally, by the width centred on the line, so each
// column (or row) it crosses gets exactly that many fragments.
void emitLine(WebVertex a, WebVertex b) {
    if (!clipSegment(a, b)) return;
    float wa[3], wb[3];
    for (int k = 0; k < 3; ++k) {
        const float scaleA = a.position[k] / a.position[3];
        const float scaleB = b.position[k] / b.position[3];
        wa[k] = k < 2 ? toWindow(scaleA) : std::fmin(std::fmax(scaleA, -1.0f), 1.0f);
        wb[k] = k < 2 ? toWindow(scaleB) : std::fmin(std::fmax(scaleB, -1.0f), 1.0f);
    }
    const float half = state.lineWidth / 2.0f;
    const bool xMajor = std::fabs(wb[0] - wa[0]) >= std::fabs(wb[1] - wa[1]);
    const float ox = xMajor ? 0.0f : half;
    const float oy = xMajor ? half : 0.0f;
    auto corner = [](const float* p, const float* color, float dx, float dy) {
        WebVertex v{};
        v.position[0] = toDevice(p[0] + dx);
        v.position[1] = toDevice(p[1] + dy);
        v.position[2] = p[2];
        v.position[3] = 1.0f;
        for (int k = 0; k < 4; ++k) v.color[k] = color[k];
        return v;
    };
    const WebVertex a0 = corner(wa, a.color, -ox, -oy);
    const WebVertex a1 = corner(wa, a.color, ox, oy);
    const WebVertex b0 = corner(wb, b.color, -ox, -oy);
    const WebVertex b1 = corner(wb, b.color, ox, oy);
    webEmitQuad(a0, b0, b1, a1);
}

// The pixels from x to x + width - 1 of row y: one rectangle whose edges lie
// on pixel borders covers exactly the pixel centres that as many squares do.
void emitPixels(float x, float y, float width, float z, const float color[4]) {
    WebVertex v[4]{};
    const float xs[4] = {x, x + width, x + width, x};
    const float ys[4] = {y, y, y + 1, y + 1};
    for (int k = 0; k < 4; ++k) {
        v[k].position[0] = toDevice(xs[k]);
        v[k].position[1] = toDevice(ys[k]);
        v[k].position[2] = z;
        v[k].position[3] = 1.0f;
        for (int c = 0; c < 4; ++c) v[k].color[c] = color[c];
    }
    webEmitQuad(v[0], v[1], v[2], v[3]);
}

}  // namespace

bool webDrawBitmap(int width, int height, float xorig, float yorig, float xmove,
                   const unsigned char* rows) {
    if (!state.rasterValid) return false;
    const float left = std::floor(state.raster[0] - xorig);
    const float bottom = std::floor(state.raster[1] - yorig);
    const int stride = (width + 7) / 8;
    auto set = [&](int x, int y) { return (rows[y * stride + x / 8] & (0x80 >> (x % 8))) != 0; };
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width;) {
            if (!set(x, y)) {
                ++x;
                continue;
            }
            int end = x + 1;
            while (end < width && set(end, y)) ++end;
            emitPixels(left + static_cast<float>(x), bottom + static_cast<float>(y),
                       static_cast<float>(end - x), state.raster[2], state.rasterColor);
            x = end;
        }
    }
    state.raster[0] += xmove;
    return true;
}

extern "C" {

void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
    const float c[4] = {r, g, b, a};
    for (int k = 0; k < 4; ++k) state.clearColor[k] = clamp01(c[k]);
}

void glClear(GLbitfield mask) {
    webClear(state.clearColor, (mask & GL_COLOR_BUFFER_BIT) != 0, (mask & GL_DEPTH_BUFFER_BIT) != 0);
}

void glEnable(GLenum cap) {
    switch (cap) {
        case GL_LIGHTING: state.lighting = true; break;
        case GL_LIGHT0: state.light0 = true; break;
        case GL_COLOR_MATERIAL: state.colorMaterial = true; break;
        case GL_DEPTH_TEST:
            state.depthTest = true;
            webSetDepthTest(true);
            break;
        default: break;
    }
}

void glLineWidth(GLfloat width) {
    // Aliased wide lines take the width rounded to an integer, at least 1.
    state.lineWidth = std::fmax(std::round(width), 1.0f);
}

void glMatrixMode(GLenum mode) {
    state.current = mode == GL_PROJECTION ? &state.projection : &state.modelview;
}

void glLoadIdentity() { *state.current = kIdentity; }

void glMultMatrixd(const GLdouble* m) {
    Matrix by{};
    for (int k = 0; k < 16; ++k) by.m[k] = static_cast<float>(m[k]);
    multiplyCurrent(by);
}

void glTranslated(GLdouble x, GLdouble y, GLdouble z) {
    Matrix by = kIdentity;
    by.m[12] = static_cast<float>(x);
    by.m[13] = static_cast<float>(y);
    by.m[14] = static_cast<float>(z);
    multiplyCurrent(by);
}

void glLightfv(GLenum light, GLenum pname, const GLfloat* params) {
    if (light != GL_LIGHT0) return;
    switch (pname) {
        case GL_AMBIENT:
            for (int k = 0; k < 4; ++k) state.lightAmbient[k] = params[k];
            break;
        case GL_DIFFUSE:
            for (int k = 0; k < 4; ++k) state.lightDiffuse[k] = params[k];
            break;
        case GL_POSITION: {
            // Fixed in eye coordinates by the model-view matrix of this moment;
            // only directional lights are supported, as the viewer uses one.
            float eye[4];
            transform(state.modelview, params, eye);
            const float length = std::sqrt(eye[0] * eye[0] + eye[1] * eye[1] + eye[2] * eye[2]);
            for (int k = 0; k < 3; ++k) state.lightDirection[k] = length > 0.0f ? eye[k] / length : 0.0f;
            break;
        }
        default: break;
    }
}

void glColor3f(GLfloat r, GLfloat g, GLfloat b) {
    state.color[0] = r;
    state.color[1] = g;
    state.color[2] = b;
    state.color[3] = 1.0f;
}

void glNormal3f(GLfloat x, GLfloat y, GLfloat z) {
    state.normal[0] = x;
    state.normal[1] = y;
    state.normal[2] = z;
}

void glBegin(GLenum mode) {
    state.primitive = mode;
    state.count = 0;
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    const WebVertex v = vertexAt(x, y, z, 1.0f);
    const int n = state.count++;
    switch (state.primitive) {
        case GL_LINES:
            if (n % 2 == 0) state.pending[0] = v;
            else emitLine(state.pending[0], v);
            break;
        case GL_LINE_LOOP:
        case GL_LINE_STRIP:
            if (n == 0) state.first = v;
            else emitLine(state.pending[0], v);
            state.pending[0] = v;
            break;
        case GL_QUADS:
            // Split along the diagonal from the second to the fourth vertex:
            // the triangles (1, 2, 3) and (1, 3, 0), counting from 0.
            if (n % 4 < 3) state.pending[n % 4] = v;
            else webEmitQuad(state.pending[0], state.pending[1], state.pending[2], v, true);
            break;
        case GL_TRIANGLES:
            if (n % 3 < 2) state.pending[n % 3] = v;
            else webEmitTriangle(state.pending[0], state.pending[1], v);
            break;
        default: break;
    }
}

void glEnd() {
    if (state.primitive == GL_LINE_LOOP && state.count > 1) emitLine(state.pending[0], state.first);
    state.primitive = 0;
}

void glRasterPos4dv(const GLdouble* v) {
    const float object[4] = {static_cast<float>(v[0]), static_cast<float>(v[1]),
                             static_cast<float>(v[2]), static_cast<float>(v[3])};
    float eye[4], clip[4];
    transform(state.modelview, object, eye);
    transform(state.projection, eye, clip);
    state.rasterValid = true;
    for (int k = 0; k < 3; ++k) {
        if (clip[k] > clip[3] || clip[k] < -clip[3]) state.rasterValid = false;
    }
    if (!state.rasterValid) return;
    state.raster[0] = toWindow(clip[0] / clip[3]);
    state.raster[1] = toWindow(clip[1] / clip[3]);
    state.raster[2] = clip[2] / clip[3];
    shade(state.rasterColor);
}

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    const double radians = fovy / 2.0 * 3.14159265358979323846 / 180.0;
    const double f = std::cos(radians) / std::sin(radians);
    const double depth = zNear - zFar;
    const GLdouble m[16] = {f / aspect, 0, 0, 0, 0, f, 0, 0, 0, 0, (zFar + zNear) / depth, -1,
                            0, 0, 2.0 * zFar * zNear / depth, 0};
    glMultMatrixd(m);
}

void gluLookAt(GLdouble ex, GLdouble ey, GLdouble ez, GLdouble cx, GLdouble cy, GLdouble cz,
               GLdouble ux, GLdouble uy, GLdouble uz) {
    auto normalize = [](double v[3]) {
        const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        if (length > 0.0) for (int k = 0; k < 3; ++k) v[k] /= length;
    };
    auto cross = [](const double a[3], const double b[3], double out[3]) {
        out[0] = a[1] * b[2] - a[2] * b[1];
        out[1] = a[2] * b[0] - a[0] * b[2];
        out[2] = a[0] * b[1] - a[1] * b[0];
    };
    double forward[3] = {cx - ex, cy - ey, cz - ez};
    const double up[3] = {ux, uy, uz};
    normalize(forward);
    double side[3], trueUp[3];
    cross(forward, up, side);
    normalize(side);
    cross(side, forward, trueUp);
    const GLdouble m[16] = {side[0], trueUp[0], -forward[0], 0, side[1], trueUp[1], -forward[1], 0,
                            side[2], trueUp[2], -forward[2], 0, 0, 0, 0, 1};
    glMultMatrixd(m);
    glTranslated(-ex, -ey, -ez);
}

}  // extern "C"
