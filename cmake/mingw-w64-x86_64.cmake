# 64-bit Windows, cross-built on Debian with mingw-w64 and tested under Wine:
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# (make windows / make test-windows do this, with the libraries below built first).
#
# The posix-thread compilers: the win32 thread model has no std::thread or std::mutex.
# -static everywhere: a DLL or program then imports only Windows' own DLLs (KERNEL32,
# USER32, msvcrt, ...), never libstdc++, libgcc or winpthread, so nothing ships beside it.
# Libraries Debian does not ship for mingw (libpng, FreeType, GoogleTest, ...) are
# cross-built from Debian's sources by cmake/windows/libraries.sh into ZORQ_WINDOWS_PREFIX.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ZORQ_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZORQ_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZORQ_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${ZORQ_MINGW}-windres)

# Windows 10's interfaces (per-monitor DPI, IFileDialog); <windows.h> without the
# min/max macros and the rarely used parts; M_PI and friends from <cmath> as on Linux.
set(CMAKE_C_FLAGS_INIT "-D_WIN32_WINNT=0x0A00 -DWINVER=0x0A00 -DNOMINMAX -DWIN32_LEAN_AND_MEAN -DUNICODE -D_UNICODE -D_USE_MATH_DEFINES")
set(CMAKE_CXX_FLAGS_INIT "${CMAKE_C_FLAGS_INIT}")
# Release is the default build type here (CMakeLists.txt): the same -O2 as Linux's.
set(CMAKE_C_FLAGS_RELEASE_INIT "-O2 -DNDEBUG")
set(CMAKE_CXX_FLAGS_RELEASE_INIT "-O2 -DNDEBUG")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

if(NOT ZORQ_WINDOWS_PREFIX)
  set(ZORQ_WINDOWS_PREFIX ${CMAKE_BINARY_DIR}/windows-libraries/prefix)
endif()
set(ZORQ_WINDOWS_PREFIX ${ZORQ_WINDOWS_PREFIX} CACHE PATH "Where cmake/windows/libraries.sh installed the cross-built libraries")
# The compiler checks read this file again in folders of their own: same prefix.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ZORQ_WINDOWS_PREFIX)
set(CMAKE_FIND_ROOT_PATH /usr/${ZORQ_MINGW} ${ZORQ_WINDOWS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ENV{PKG_CONFIG_LIBDIR} "${ZORQ_WINDOWS_PREFIX}/lib/pkgconfig:/usr/${ZORQ_MINGW}/lib/pkgconfig")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
# Static libraries only: an import library would put a DLL beside the plug-in.
set(ZLIB_USE_STATIC_LIBS ON)

# Test programs run under Wine, in a prefix inside the build folder (cmake/windows/wine-run.sh).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/windows/wine-run.sh)
