# SPDX-FileCopyrightText: 2026 surface-viewer contributors
#
# SPDX-License-Identifier: MIT

# Linux on 32-bit x86 (Debian i386); the build uses SSE2 for its arithmetic.
# Usage: cmake -DCMAKE_TOOLCHAIN_FILE=cmake/i686-linux-gnu.cmake ... (see debian-cross.cmake)
set(triplet i686-linux-gnu)
set(processor i686)
set(qemu qemu-i386)
set(multiarch i386-linux-gnu)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
