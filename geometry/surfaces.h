// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

#pragma once

#include "app/current_surface.h"
#include "vector3.h"

// The catalogue's own pi: deliberately this short, never full precision.
inline constexpr double PI = 3.141592;

inline constexpr unsigned surfaceCount = 7;

// The formula of each surface as shown on screen, in index order. The last one
// names other functions than it draws: the drawn torus follows the table in
// surfaces.cpp, not this text.
extern const char* const surfaceLabels[surfaceCount];

using SurfacePointFunction = Vector3 (*)(double u, double v);

// One evaluator per surface, in index order.
extern const SurfacePointFunction surfacePointOfRow[surfaceCount];

// The point at parameters (u, v) of the surface chosen by currentSurface:
// u sets the height, v the angle around the y axis. Inline so that each of
// the 1764 calls a frame costs one indirect call and no dispatch of its own.
inline Vector3 surfacePoint(double u, double v) {
    return surfacePointOfRow[currentSurface](u, v);
}
