# SPDX-FileCopyrightText: 2026 surface-viewer contributors
#
# SPDX-License-Identifier: MIT

# Linux on 64-bit RISC-V (Debian riscv64).
# Usage: cmake -DCMAKE_TOOLCHAIN_FILE=cmake/riscv64-linux-gnu.cmake ... (see debian-cross.cmake)
set(triplet riscv64-linux-gnu)
set(processor riscv64)
set(qemu qemu-riscv64)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
