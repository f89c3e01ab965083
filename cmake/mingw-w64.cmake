# Cross-build for 64-bit Windows with Debian's MinGW-w64 (posix threads, so
# that std::thread works); tests run under Wine. Libraries are looked up in
# the MinGW tree and in ZENTAREL_WINDOWS_DEPS (what scripts/windows-deps.sh
# builds); host programs (Java for the grammar generator) on the host.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${ZENTAREL_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
if(ZENTAREL_WINDOWS_DEPS)
  set(ENV{PKG_CONFIG_LIBDIR} ${ZENTAREL_WINDOWS_DEPS}/lib/pkgconfig)
endif()
# Static libraries only, with their own dependencies, so that the programs
# need no DLL beside them.
set(PKG_CONFIG_ARGN --static)
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
