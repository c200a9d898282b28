# Cross-compiles the 32-bit Windows program with Debian's MinGW-w64 (i686). The posix-threads
# variant is used because its libstdc++ is complete (threads, <filesystem>); the runtime is linked
# statically so the program needs nothing but the DLLs every Windows has.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(DERADU_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${DERADU_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DERADU_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${DERADU_MINGW_PREFIX}-windres)
set(CMAKE_AR ${DERADU_MINGW_PREFIX}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${DERADU_MINGW_PREFIX}-gcc-ranlib-posix CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${DERADU_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static C, C++ and threads runtime: a bare Windows has no libstdc++-6.dll or libwinpthread-1.dll.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Programs built here run under Wine when tests need them.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
