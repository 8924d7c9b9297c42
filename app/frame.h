// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

#pragma once

// The GLUT display callback: clears, places the camera and draws the scene.
void display();

// The GLUT keyboard callback: Esc ends the process with status 1, any other
// character key shows the next surface.
void keyboard(unsigned char key, int x, int y);
