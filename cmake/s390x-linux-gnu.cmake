# SPDX-FileCopyrightText: 2026 surface-viewer contributors
#
# SPDX-License-Identifier: MIT

# Linux on IBM Z (Debian s390x).
# Usage: cmake -DCMAKE_TOOLCHAIN_FILE=cmake/s390x-linux-gnu.cmake ... (see debian-cross.cmake)
set(triplet s390x-linux-gnu)
set(processor s390x)
set(qemu qemu-s390x)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
