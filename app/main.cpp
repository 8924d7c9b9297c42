// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

#include "app/startup.h"

int main(int argc, char** argv) {
    startViewer(&argc, argv);
}
