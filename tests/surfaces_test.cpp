// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

#include "geometry/surfaces.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "app/current_surface.h"

namespace {

static_assert(PI == 3.141592, "the catalogue's pi is deliberately short");

// Where 0 would be on the grid: the eleventh value of -1.0 repeatedly plus 0.1.
constexpr double kGridZero = -1.3877787807814457e-16;

class Surfaces : public ::testing::Test {
protected:
    void TearDown() override { currentSurface = 0; }

    static Vector3 at(unsigned surface, double u, double v) {
        currentSurface = surface;
        return surfacePoint(u, v);
    }
    static double distanceFromAxis(const Vector3& p) { return std::hypot(p.x, p.z); }
};

TEST_F(Surfaces, CylinderHasRadiusThreeAndHeightThreeU) {
    for (double u : {-1.0, kGridZero, 0.5, 1.0999999999999999, 7.0}) {
        for (double v : {-1.0, -0.3, 0.0, 0.9999999999999998, 1.0999999999999999, -5.0}) {
            const Vector3 p = at(0, u, v);
            EXPECT_NEAR(distanceFromAxis(p), 3.0, 1e-12) << u << ", " << v;
            EXPECT_EQ(p.y, u * 3.0);
        }
    }
}

TEST_F(Surfaces, AngleStartsOnPlusXAndTurnsTowardsMinusZ) {
    const Vector3 start = at(0, 0.0, -1.0);
    EXPECT_EQ(start.x, 3.0);
    EXPECT_EQ(start.z, -0.0);
    const Vector3 quarter = at(0, 0.0, -0.5);
    EXPECT_NEAR(quarter.x, 0.0, 1e-5);
    EXPECT_NEAR(quarter.z, -3.0, 1e-12);
    // The short pi leaves a full turn a hair short of closing.
    const Vector3 turn = at(0, 0.0, 1.0);
    EXPECT_NEAR(turn.z, 3.0 * 2.0 * (std::acos(-1.0) - PI), 1e-12);
}

TEST_F(Surfaces, RadiusRulesOfTheOrdinaryRows) {
    // At v = -1 the point lies on the +x side, so x is three times the radius.
    EXPECT_DOUBLE_EQ(at(1, 0.5, -1.0).x, std::cos(0.5) * 3.0);
    EXPECT_DOUBLE_EQ(at(2, -0.5, -1.0).x, 0.25 * 3.0);
    EXPECT_DOUBLE_EQ(at(3, 0.5, -1.0).x, 1.75 * 3.0);
    EXPECT_DOUBLE_EQ(at(4, 0.5, -1.0).x, 2.0 * 3.0);
    for (unsigned surface = 0; surface <= 5; ++surface) {
        EXPECT_EQ(at(surface, -1.0, 0.3).y, -3.0) << surface;
        EXPECT_EQ(at(surface, 0.25, 0.3).y, 0.75) << surface;
    }
}

TEST_F(Surfaces, ReciprocalRowIsClampedStrictlyInsideTheGuard) {
    const double clamped = 1.0 / 0.00001;
    EXPECT_EQ(clamped, 99999.99999999999);
    EXPECT_EQ(at(4, 0.0, -1.0).x, clamped * 3.0);
    EXPECT_EQ(at(4, kGridZero, -1.0).x, clamped * 3.0);
    EXPECT_NEAR(distanceFromAxis(at(4, kGridZero, 0.37)), 300000.0, 1e-6);
    EXPECT_EQ(at(4, std::nextafter(-0.00001, 0.0), -1.0).x, clamped * 3.0);
    // The bounds themselves take 1/u: at -0.00001 the radius turns negative.
    EXPECT_EQ(at(4, -0.00001, -1.0).x, (1.0 / -0.00001) * 3.0);
    EXPECT_EQ(at(4, 0.00001, -1.0).x, (1.0 / 0.00001) * 3.0);
}

TEST_F(Surfaces, NegativeRadiusLiesOppositeTheAngle) {
    const Vector3 p = at(4, -0.5, -1.0);  // r = -2 at angle 0
    EXPECT_EQ(p.x, -6.0);
    EXPECT_EQ(p.y, -1.5);
}

TEST_F(Surfaces, RippledRowDependsOnBothParameters) {
    EXPECT_NEAR(distanceFromAxis(at(5, 0.0, 0.0)), 1.4 * 3.0, 1e-11);
    EXPECT_NEAR(distanceFromAxis(at(5, 0.5, 0.0)), (1.0 - 0.1 + 0.3) * 3.0, 1e-5);
    EXPECT_NEAR(distanceFromAxis(at(5, 0.0, 0.25)), (1.0 + 0.1 - 0.3) * 3.0, 1e-5);
}

TEST_F(Surfaces, TorusFollowsItsGeometryNotItsLabel) {
    // Tube radius 1.5 around a centre circle of radius 4.5.
    EXPECT_NEAR(distanceFromAxis(at(6, 0.0, 0.2)), 6.0, 1e-12);
    EXPECT_NEAR(distanceFromAxis(at(6, 0.5, 0.2)), 4.5, 1e-6);
    EXPECT_NEAR(at(6, 0.5, 0.2).y, 1.5, 1e-11);
    // The short pi leaves the seam a little off the equator, with opposite signs.
    const double seam = 3.0 * 0.5 * std::sin(3.141592);
    EXPECT_NEAR(seam / 3.0, 3.27e-7, 1e-9);
    EXPECT_EQ(at(6, -1.0, 0.0).y, -seam);
    EXPECT_EQ(at(6, 1.0, 0.0).y, seam);
    // Beyond 1 the rules simply continue.
    EXPECT_NEAR(at(6, 1.5, 0.0).y, -1.5, 1e-11);
}

TEST_F(Surfaces, LabelsAreTheFormulasInIndexOrder) {
    const char* expected[surfaceCount] = {
        "1", "cos(u)", "u*u", "2-u*u", "1/u",
        "1 + 0.1*cos(u*2*PI) + 0.3*cos(v*4*PI)",
        "fn = 2 + cos(u*PI); u = sin(u*PI)",
    };
    std::size_t longest = 0;
    for (unsigned i = 0; i < surfaceCount; ++i) {
        EXPECT_STREQ(surfaceLabels[i], expected[i]);
        longest = std::max(longest, std::strlen(surfaceLabels[i]));
    }
    // 8 pixels a character: the longest label must fit the 400-pixel window.
    EXPECT_EQ(longest, 37u);
    EXPECT_LE(longest * 8, 400u);
}

}  // namespace
