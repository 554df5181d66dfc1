# Shared part of the MinGW-w64 toolchain files; SKELDA_MINGW_TRIPLE names the compiler family.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER   ${SKELDA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SKELDA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${SKELDA_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${SKELDA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Static C++ runtime and winpthread: shipped binaries import only Windows' own DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test binaries run under Wine; see scripts/wine-exec.sh.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-exec.sh)
