// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

#pragma once

// The three coordinate axes, 300 units each way; drawn before the surface.
void drawAxes();

// The formula of the current surface at a fixed point of the scene; drawn last.
void drawLabel();
