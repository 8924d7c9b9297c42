# SPDX-FileCopyrightText: 2026 surface-viewer contributors
#
# SPDX-License-Identifier: MIT

# Linux on 32-bit ARM with hardware floating point (Debian armhf).
# Usage: cmake -DCMAKE_TOOLCHAIN_FILE=cmake/arm-linux-gnueabihf.cmake ... (see debian-cross.cmake)
set(triplet arm-linux-gnueabihf)
set(processor arm)
set(qemu qemu-arm)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
