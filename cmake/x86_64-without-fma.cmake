# SPDX-FileCopyrightText: 2026 surface-viewer contributors
#
# SPDX-License-Identifier: MIT

# This machine's own x86-64 build, with its tests run by qemu-user on an
# emulated CPU that lacks FMA and AVX (Debian's qemu-user), so that a library
# which picks its code by the CPU it finds picks the code of older CPUs.
# Usage: cmake -DCMAKE_TOOLCHAIN_FILE=cmake/x86_64-without-fma.cmake ...
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-x86_64 -cpu qemu64)
