// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

#include "geometry/vector3.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iomanip>
#include <limits>
#include <ostream>

void PrintTo(const Vector3& v, std::ostream* os) {
    *os << std::setprecision(17) << '(' << v.x << ", " << v.y << ", " << v.z << ')';
}

namespace {

// The operations that need no square root are usable at compile time.
static_assert(Vector3(1, 0, 0).cross(Vector3(0, 1, 0)) == Vector3(0, 0, 1));
static_assert(Vector3(2, 4, 6) / 2.0 == Vector3(1, 2, 3));
static_assert(Vector3(1, 2, 3) - Vector3(1, 1, 1) == Vector3(0, 1, 2));

const Vector3 kV{1.0, 2.0, 3.0};

// Division without the guard, for comparison.
Vector3 rawDivide(const Vector3& v, double s) { return {v.x / s, v.y / s, v.z / s}; }

TEST(Vector3, LengthAndNormalisationOfOrdinaryVectors) {
    EXPECT_EQ(Vector3(3, 0, 4).length(), 5.0);
    EXPECT_EQ(Vector3(3, 0, 4).normalized(), Vector3(0.6, 0.0, 0.8));
    EXPECT_EQ(Vector3(0, -2, 0).normalized(), Vector3(0, -1, 0));
}

TEST(Vector3, DivisorsOfAtLeastTheGuardAreUsedUnchanged) {
    for (double s : {kDivisionGuard, -kDivisionGuard, 1.0, -7.5, 1e300}) {
        EXPECT_EQ(kV / s, rawDivide(kV, s)) << "divisor " << s;
    }
}

TEST(Vector3, SmallerDivisorsAreReplacedByTheGuardKeepingTheirSign) {
    const double justBelow = std::nextafter(kDivisionGuard, 0.0);
    const Vector3 byGuard = rawDivide(kV, kDivisionGuard);
    const Vector3 byNegativeGuard = rawDivide(kV, -kDivisionGuard);

    EXPECT_EQ(kV / justBelow, byGuard);
    EXPECT_NE(rawDivide(kV, justBelow), byGuard) << "the probe must be able to tell";
    EXPECT_EQ(kV / -justBelow, byNegativeGuard);
    EXPECT_EQ(kV / 1e-300, byGuard);
    EXPECT_EQ(kV / -0.000001, byNegativeGuard);
    // Zero, of either sign, counts as positive.
    EXPECT_EQ(kV / 0.0, byGuard);
    EXPECT_EQ(kV / -0.0, byGuard);
    EXPECT_NEAR((kV / 0.0).x, 100000.0, 1e-9);
    // Not a number is not at least the guard either, and is not >= 0.
    EXPECT_EQ(kV / std::numeric_limits<double>::quiet_NaN(), byNegativeGuard);
}

TEST(Vector3, CrossProductIsRightHanded) {
    const Vector3 x{1, 0, 0};
    const Vector3 y{0, 1, 0};
    EXPECT_EQ(x.cross(y), Vector3(0, 0, 1));
    EXPECT_EQ(y.cross(x), Vector3(0, 0, -1));
    EXPECT_EQ(Vector3(0, 0, 1).cross(x), y);
    EXPECT_EQ(kV.cross(kV), Vector3(0, 0, 0));
    EXPECT_EQ(Vector3(1, 2, 3).cross(Vector3(4, 5, 6)), Vector3(-3, 6, -3));
}

TEST(Vector3, ShortVectorsDoNotNormaliseToUnitLength) {
    EXPECT_EQ(Vector3(0, 0, 0).normalized(), Vector3(0, 0, 0));
    // Divided by the guard instead of by its length: about 0.1, not 1.
    EXPECT_EQ(Vector3(0.000001, 0, 0).normalized(), Vector3(0.000001 / kDivisionGuard, 0, 0));
    EXPECT_NEAR(Vector3(0.000001, 0, 0).normalized().x, 0.1, 1e-15);
    EXPECT_EQ(Vector3(0, -1e-9, 0).normalized(), Vector3(0, -1e-9 / kDivisionGuard, 0));
}

}  // namespace
