// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

// One whole frame, call by call, against a model of the picture written
// independently of the production code: its own surface formulas, its own
// normal arithmetic, the grid's parameter values written out in full, and
// sines and cosines correctly rounded by MPFR, the same on every machine.

#include <GL/glut.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "app/current_surface.h"
#include "app/frame.h"
#include "geometry/surfaces.h"
#include "tests/support/frame_grid.h"
#include "tests/support/gl_recorder.h"
#include "tests/support/mpfr_reference.h"

namespace {

struct P {
    double x, y, z;
};

P modelPoint(unsigned surface, double u, double v) {
    const double pi = 3.141592;
    double r = 0.0;
    double h = u;
    switch (surface) {
    case 0: r = 1.0; break;
    case 1: r = mpfrCos(u); break;
    case 2: r = u * u; break;
    case 3: r = 2.0 - u * u; break;
    case 4: r = (u > -0.00001 && u < 0.00001) ? 1.0 / 0.00001 : 1.0 / u; break;
    case 5: r = mpfrCos(u * 6.283184) * 0.1 + mpfrCos(v * 12.566368) * 0.3 + 1.0; break;
    case 6:
        r = mpfrCos(u * pi) * 0.5 + 1.5;
        h = mpfrSin(u * pi) * 0.5;
        break;
    }
    const double theta = (v + 1.0) * pi;
    return {mpfrCos(theta) * r * 3.0, h * 3.0, mpfrSin(theta) * r * (-3.0)};
}

P modelNormalize(const P& p) {
    double s = std::sqrt((p.x * p.x + p.y * p.y) + p.z * p.z);
    if (std::fabs(s) < 0.00001) s = s >= 0.0 ? 0.00001 : -0.00001;
    return {p.x / s, p.y / s, p.z / s};
}

P modelNormal(const P& p1, const P& p2, const P& p3) {
    const P a = modelNormalize({p3.x - p1.x, p3.y - p1.y, p3.z - p1.z});
    const P b = modelNormalize({p2.x - p1.x, p2.y - p1.y, p2.z - p1.z});
    return modelNormalize({a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x});
}

// What the GL receives: the value narrowed to float. The volatile keeps GCC 12's
// SLP vectorizer at -O2 from folding a pair of double-float-double round trips
// back to the unrounded doubles, which it otherwise does here.
double f(double value) {
    volatile float narrowed = static_cast<float>(value);
    return narrowed;
}

std::vector<GlCall> modelFrame(unsigned surface) {
    std::vector<GlCall> frame = {
        glCall("glClear", {GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT}),
        glCall("glColor3f", {1, 1, 1}),
        glCall("glLoadIdentity"),
        glCall("gluLookAt", {10, 10, 10, 0, 0, 0, 0, 1, 0}),
        glCall("glBegin", {GL_LINES}),
        glCall("glVertex3f", {-300, 0, 0}), glCall("glVertex3f", {300, 0, 0}),
        glCall("glVertex3f", {0, -300, 0}), glCall("glVertex3f", {0, 300, 0}),
        glCall("glVertex3f", {0, 0, -300}), glCall("glVertex3f", {0, 0, 300}),
        glCall("glEnd"),
    };
    for (std::size_t i = 0; i < kGrid.size(); ++i) {
        const double ua = kGrid[i];
        const double ub = i + 1 < kGrid.size() ? kGrid[i + 1] : kGridEnd;
        for (std::size_t j = 0; j < kGrid.size(); ++j) {
            const double va = kGrid[j];
            const double vb = j + 1 < kGrid.size() ? kGrid[j + 1] : kGridEnd;
            const P corners[4] = {modelPoint(surface, ua, va), modelPoint(surface, ua, vb),
                                  modelPoint(surface, ub, vb), modelPoint(surface, ub, va)};
            const P n = modelNormal(corners[0], corners[1], corners[2]);
            frame.push_back(glCall("glColor3f", {1, 1, 1}));
            frame.push_back(glCall("glNormal3f", {f(n.x), f(n.y), f(n.z)}));
            frame.push_back(glCall("glBegin", {GL_QUADS}));
            for (const P& p : corners) frame.push_back(glCall("glVertex3f", {f(p.x), f(p.y), f(p.z)}));
            frame.push_back(glCall("glEnd"));
            frame.push_back(glCall("glColor3f", {0, 0, 0}));
            frame.push_back(glCall("glNormal3f", {0, 0, 0}));
            frame.push_back(glCall("glBegin", {GL_LINE_LOOP}));
            for (const P& p : corners) {
                frame.push_back(glCall("glVertex3f", {f(p.x), f(p.y + 0.001), f(p.z)}));
            }
            frame.push_back(glCall("glEnd"));
        }
    }
    frame.push_back(glCall("glColor3f", {1, 1, 1}));
    frame.push_back(glCall("glNormal3f", {0, 0, 0}));
    frame.push_back(glCall("glRasterPos4dv", {-12, 3, 0, 1}));
    for (const char* c = surfaceLabels[surface]; *c != '\0'; ++c) {
        frame.push_back(glCall("glutBitmapCharacter", {double(*c)}, bitmapFont8By13()));
    }
    frame.push_back(glCall("glutSwapBuffers"));
    return frame;
}

std::vector<GlCall> recordFrame(unsigned surface) {
    currentSurface = surface;
    clearGlLog();
    display();
    std::vector<GlCall> frame = glLog();
    currentSurface = 0;
    return frame;
}

// The normals of a frame's faces, in drawing order.
std::vector<std::array<double, 3>> faceNormals(const std::vector<GlCall>& frame) {
    std::vector<std::array<double, 3>> normals;
    for (std::size_t i = 0; i + 1 < frame.size(); ++i) {
        if (frame[i].name == "glNormal3f" && frame[i + 1].name == "glBegin" &&
            frame[i + 1].args[0] == GL_QUADS) {
            normals.push_back({frame[i].args[0], frame[i].args[1], frame[i].args[2]});
        }
    }
    return normals;
}

TEST(Frame, EveryCallOfEverySurfaceMatchesTheModel) {
    for (unsigned surface = 0; surface < surfaceCount; ++surface) {
        const std::vector<GlCall> expected = modelFrame(surface);
        const std::vector<GlCall> actual = recordFrame(surface);
        ASSERT_EQ(actual.size(), expected.size()) << "surface " << surface;
        // Report the first difference only: one drift usually spoils the rest.
        const auto mismatch = std::mismatch(actual.begin(), actual.end(), expected.begin());
        if (mismatch.first != actual.end()) {
            ADD_FAILURE() << "surface " << surface << ", call " << (mismatch.first - actual.begin())
                          << ": got " << ::testing::PrintToString(*mismatch.first) << ", expected "
                          << ::testing::PrintToString(*mismatch.second);
        }
    }
}

TEST(Frame, GridRunsToJustUnderOnePointOneInTwentyOneSteps) {
    double value = -1.0;
    for (double expected : kGrid) {
        EXPECT_EQ(value, expected);
        value += 0.1;
    }
    EXPECT_EQ(value, kGridEnd);
    EXPECT_GT(value, 1.0);
    // A loop counter would have hit 0 exactly where the sums miss it.
    EXPECT_NE(kGrid[10], -1.0 + 0.1 * 10);

    const std::vector<GlCall> frame = recordFrame(0);
    const auto primitives = [&](GLenum mode) {
        return std::count_if(frame.begin(), frame.end(), [&](const GlCall& c) {
            return c.name == "glBegin" && c.args[0] == mode;
        });
    };
    EXPECT_EQ(primitives(GL_QUADS), 441);
    EXPECT_EQ(primitives(GL_LINE_LOOP), 441);
    EXPECT_EQ(primitives(GL_LINES), 1);
    // The last row of the cylinder reaches a height of about 3.3, not 3.
    double top = 0.0;
    for (const GlCall& c : frame) {
        if (c.name == "glVertex3f" && std::fabs(c.args[1]) < 100) top = std::max(top, c.args[1]);
    }
    EXPECT_NEAR(top, 3.3 + 0.001, 1e-5);
}

TEST(Frame, FirstCellOfTheCylinderFacesTheAxis) {
    const std::vector<GlCall> frame = recordFrame(0);
    // After the axes: colour, normal, then the face's four corners.
    ASSERT_EQ(frame[12].name, "glColor3f");
    ASSERT_EQ(frame[13].name, "glNormal3f");
    EXPECT_NEAR(frame[13].args[0], -0.98769, 1e-5);
    EXPECT_NEAR(frame[13].args[1], 0.0, 1e-15);
    EXPECT_NEAR(frame[13].args[2], 0.15643, 1e-5);
    ASSERT_EQ(frame[15].name, "glVertex3f");
    EXPECT_EQ(frame[15].args, (std::vector<double>{3.0, -3.0, -0.0}));
    // The outline of the same cell, lifted 0.001 before the conversion to float.
    ASSERT_EQ(frame[23].name, "glVertex3f");
    EXPECT_EQ(frame[23].args[1], static_cast<float>(-3.0 + 0.001));
    EXPECT_EQ(frame[23].args[0], frame[15].args[0]);
    EXPECT_EQ(frame[23].args[2], frame[15].args[2]);
}

TEST(Frame, NormalsAreUnitExceptWhereTheSurfaceTouchesTheAxis) {
    for (unsigned surface = 0; surface < surfaceCount; ++surface) {
        const auto normals = faceNormals(recordFrame(surface));
        ASSERT_EQ(normals.size(), 441u);
        for (std::size_t cell = 0; cell < normals.size(); ++cell) {
            const auto& n = normals[cell];
            const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
            // On u*u the eleventh row has two corners on the axis: its normals
            // come out tiny, so those cells show the ambient grey.
            if (surface == 2 && cell / 21 == 10) {
                EXPECT_NEAR(length, 1.8e-22, 0.1e-22) << "cell " << cell;
            } else {
                EXPECT_NEAR(length, 1.0, 0.001) << "surface " << surface << ", cell " << cell;
            }
        }
    }
}

TEST(Frame, ReciprocalSurfaceFlingsTheRowsAtZeroFarOut) {
    const std::vector<GlCall> frame = recordFrame(4);
    double farthest = 0.0;
    for (const GlCall& c : frame) {
        if (c.name == "glVertex3f") farthest = std::max(farthest, std::hypot(c.args[0], c.args[2]));
    }
    EXPECT_NEAR(farthest, 300000.0, 1.0);
}

TEST(Frame, LabelIsGreyTextAtAFixedScenePointForEverySurface) {
    for (unsigned surface = 0; surface < surfaceCount; ++surface) {
        const std::vector<GlCall> frame = recordFrame(surface);
        const std::string label = surfaceLabels[surface];
        const std::size_t start = frame.size() - label.size() - 4;
        EXPECT_EQ(frame[start], glCall("glColor3f", {1, 1, 1}));
        // The zero normal leaves only the ambient light: mid grey, not white.
        EXPECT_EQ(frame[start + 1], glCall("glNormal3f", {0, 0, 0}));
        EXPECT_EQ(frame[start + 2], glCall("glRasterPos4dv", {-12, 3, 0, 1}));
        std::string printed;
        for (std::size_t i = start + 3; i + 1 < frame.size(); ++i) {
            ASSERT_EQ(frame[i].name, "glutBitmapCharacter");
            EXPECT_EQ(frame[i].pointer, bitmapFont8By13());
            printed += static_cast<char>(frame[i].args[0]);
        }
        EXPECT_EQ(printed, label);
        EXPECT_EQ(frame.back(), glCall("glutSwapBuffers"));
    }
}

TEST(Frame, NothingCarriesOverFromOneFrameToTheNext) {
    const std::vector<GlCall> first = recordFrame(5);
    recordFrame(2);
    EXPECT_EQ(recordFrame(5), first);
}

}  // namespace
