# SPDX-FileCopyrightText: 2026 surface-viewer contributors
#
# SPDX-License-Identifier: MIT

# Linux on 64-bit ARM (Debian arm64).
# Usage: cmake -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake ... (see debian-cross.cmake)
set(triplet aarch64-linux-gnu)
set(processor aarch64)
set(qemu qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
