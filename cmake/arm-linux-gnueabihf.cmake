# Cross-compiles for 32-bit ARM Linux with hardware floating point, Debian's
# armhf (Debian: g++-arm-linux-gnueabihf, and the libraries as armhf multiarch
# packages such as freeglut3-dev:armhf).
# Usage: cmake -DCMAKE_TOOLCHAIN_FILE=cmake/arm-linux-gnueabihf.cmake ...
# Tests run under qemu-user (Debian: qemu-user).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)

set(triplet arm-linux-gnueabihf)
set(CMAKE_C_COMPILER ${triplet}-gcc)
set(CMAKE_CXX_COMPILER ${triplet}-g++)
# Multiarch: the target's libraries in /usr/lib/arm-linux-gnueabihf, never
# the host's; headers shared in /usr/include.
set(CMAKE_LIBRARY_ARCHITECTURE ${triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
# FindGLUT asks pkg-config first, which would answer with the host's .pc files.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/${triplet}/pkgconfig:/usr/share/pkgconfig)

set(CMAKE_CROSSCOMPILING_EMULATOR qemu-arm -L /usr/${triplet})
