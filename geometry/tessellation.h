// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

#pragma once

// Draws the current surface as a 21 x 21 grid of lit white cells, each
// followed by its black outline. Recomputes everything on every call.
void drawSurface();
