// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

#pragma once

// Index of the surface shown, 0 to surfaceCount - 1. Only the keyboard
// callback writes it; the catalogue and the label read it during a frame.
extern unsigned currentSurface;
