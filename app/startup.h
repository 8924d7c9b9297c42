// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

#pragma once

// Brings up GLUT, the window and the whole render state, registers the
// callbacks and enters GLUT's main loop, which does not return.
void startViewer(int* argc, char** argv);
