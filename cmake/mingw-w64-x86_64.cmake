# SPDX-License-Identifier: MIT
# Cross-builds for 64-bit Windows with Debian's MinGW-w64 (GCC, POSIX threads).
# Programs link the C and C++ runtimes and winpthread statically, so that a
# built .exe needs only the DLLs Windows itself brings.
#
# VORLANE_WINDOWS_DEPS names the folder the cross-built libraries are
# installed in (libdivsufsort, GoogleTest); CMake and pkg-config look for
# libraries there and in MinGW's own folder, never among the build machine's.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw_triplet x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_triplet}-windres)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# Release programs carry no symbol tables.
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")

set(CMAKE_FIND_ROOT_PATH /usr/${mingw_triplet})
# Checks that CMake compiles read this file again in a project of their own;
# they must see the same folder, as the environment they set is the process's.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VORLANE_WINDOWS_DEPS)
if(VORLANE_WINDOWS_DEPS)
  list(PREPEND CMAKE_FIND_ROOT_PATH ${VORLANE_WINDOWS_DEPS})
  set(ENV{PKG_CONFIG_LIBDIR} ${VORLANE_WINDOWS_DEPS}/lib/pkgconfig)
else()
  set(ENV{PKG_CONFIG_LIBDIR} /usr/${mingw_triplet}/lib/pkgconfig)
endif()
set(ENV{PKG_CONFIG_PATH} "")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

