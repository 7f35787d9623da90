# Cross-builds the 32-bit Windows console program with Debian's mingw-w64
# (g++-mingw-w64-i686). The posix thread model gives std::mutex and friends;
# -static links the C++ runtime, libgcc and winpthread into the .exe, so it
# needs nothing beyond the DLLs every Windows installation has (kernel32,
# msvcrt, odbc32).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(KELVADOR_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${KELVADOR_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KELVADOR_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KELVADOR_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KELVADOR_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

