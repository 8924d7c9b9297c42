# Cross-compiles for 64-bit ARM Linux (Debian: g++-aarch64-linux-gnu, and the
# libraries as arm64 multiarch packages such as freeglut3-dev:arm64).
# Usage: cmake -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake ...
# Tests run under qemu-user (Debian: qemu-user).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(triplet aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${triplet}-gcc)
set(CMAKE_CXX_COMPILER ${triplet}-g++)
# Multiarch keeps arm64 libraries in /usr/lib/aarch64-linux-gnu beside the
# host's, and the headers in /usr/include shared by both: search only the
# target's library folder, never the host's.
set(CMAKE_LIBRARY_ARCHITECTURE ${triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
# FindGLUT asks pkg-config first, which would answer with the host's .pc files.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/${triplet}/pkgconfig:/usr/share/pkgconfig)

# The cross compiler's C library (/usr/aarch64-linux-gnu) for the loader and
# libc; the multiarch libraries are found at their own paths.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64 -L /usr/${triplet})
