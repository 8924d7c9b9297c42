# SPDX-FileCopyrightText: 2026 surface-viewer contributors
#
# SPDX-License-Identifier: MIT

# Cross-compiles for Linux on another architecture with Debian's cross
# compiler (g++-TRIPLET) against that architecture's multiarch packages (such
# as freeglut3-dev:arm64). Included by cmake/TRIPLET.cmake, which sets
# `triplet`, `processor` and `qemu` (the qemu-user program that runs the
# tests, for example qemu-aarch64 from Debian's qemu-user), and `multiarch`
# where the libraries' folder is named otherwise than the compiler.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${processor})

set(CMAKE_C_COMPILER ${triplet}-gcc)
set(CMAKE_CXX_COMPILER ${triplet}-g++)
# Multiarch keeps the target's libraries in /usr/lib/TRIPLET beside the
# host's, and the headers in /usr/include shared by both: search only the
# target's library folder, never the host's.
if(NOT DEFINED multiarch)
  set(multiarch ${triplet})
endif()
set(CMAKE_LIBRARY_ARCHITECTURE ${multiarch})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
# FindGLUT and the tests' MPFR ask pkg-config, which would otherwise answer
# with the host's .pc files.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/${multiarch}/pkgconfig:/usr/share/pkgconfig)

# The programs run with the architecture's own loader and C library, which
# its multiarch packages install (libc6:ARCH), like every other library they
# load: the cross compiler's copy in /usr/TRIPLET may be of another release,
# and a loader and C library of two releases disagree on the stack guard.
set(CMAKE_CROSSCOMPILING_EMULATOR ${qemu})
