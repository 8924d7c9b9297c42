# SPDX-FileCopyrightText: 2026 surface-viewer contributors
#
# SPDX-License-Identifier: MIT

# Linux on 64-bit little-endian POWER (Debian ppc64el).
# Usage: cmake -DCMAKE_TOOLCHAIN_FILE=cmake/powerpc64le-linux-gnu.cmake ... (see debian-cross.cmake)
set(triplet powerpc64le-linux-gnu)
set(processor ppc64le)
set(qemu qemu-ppc64le)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
