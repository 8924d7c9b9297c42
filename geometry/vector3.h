// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

#pragma once

#include <cmath>

// Smallest divisor magnitude the geometry divides by; anything closer to zero
// is replaced by it, keeping its sign (zero counts as positive).
inline constexpr double kDivisionGuard = 0.00001;

// A point or direction in the scene: a plain value, every operation returns a new one.
struct Vector3 {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;

    constexpr Vector3() = default;
    constexpr Vector3(double x_, double y_, double z_) : x(x_), y(y_), z(z_) {}

    double length() const { return std::sqrt((x * x + y * y) + z * z); }

    constexpr Vector3 operator/(double s) const {
        if (!(s >= kDivisionGuard || s <= -kDivisionGuard)) {
            s = s >= 0.0 ? kDivisionGuard : -kDivisionGuard;
        }
        return {x / s, y / s, z / s};
    }

    // Right-handed: this x other.
    constexpr Vector3 cross(const Vector3& other) const {
        return {y * other.z - z * other.y, z * other.x - x * other.z, x * other.y - y * other.x};
    }

    // A vector shorter than the guard comes out longer instead of unit length:
    // the zero vector stays zero rather than failing.
    Vector3 normalized() const { return *this / length(); }
};

constexpr Vector3 operator-(const Vector3& a, const Vector3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

constexpr bool operator==(const Vector3& a, const Vector3& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

constexpr bool operator!=(const Vector3& a, const Vector3& b) { return !(a == b); }
