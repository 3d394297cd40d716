# 32-bit x86 Linux build on a 64-bit Debian host with multiarch i386 libraries:
#   cmake -S . -B build-i386 -DCMAKE_TOOLCHAIN_FILE=cmake/i386.cmake
# The host's gcc/g++ with -m32 (g++-multilib) links against the :i386 -dev packages
# in /usr/lib/i386-linux-gnu; the results run natively on the x86-64 host.
#
# -msse2 -mfpmath=sse: float and double arithmetic in SSE registers, each operation
# rounded to its own type as on x86-64, instead of the x87 unit's 80-bit registers
# (which round differently and would change the output in the last bits). It also
# makes SSE2 the baseline, so the SSE2 band-bank kernel is always there, as on x86-64.
# What SSE arithmetic cannot make equal: i386 glibc's double sin, cos, exp, pow and log
# differ from x86-64's by one unit in the last place for about 0.1% of arguments (its
# float functions agree). That stays far below the float samples a host receives.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
set(CMAKE_C_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-m32")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-m32")

# pkg-config and find_package see the i386 libraries only.
set(ENV{PKG_CONFIG_LIBDIR} "/usr/lib/i386-linux-gnu/pkgconfig:/usr/share/pkgconfig")
set(FIND_LIBRARY_USE_LIB64_PATHS OFF)
set(CMAKE_IGNORE_PATH /usr/lib/x86_64-linux-gnu /usr/lib/x86_64-linux-gnu/cmake)
