# Cross-compiles the Windows build with MinGW-w64 (posix thread model).
# CHIMEWATCH_WINDOWS_ARCH picks the target: i686 (the shipped 32-bit
# program, the default) or x86_64 (for hosts whose kernel cannot run
# 32-bit Wine).
if(NOT CHIMEWATCH_WINDOWS_ARCH)
  set(CHIMEWATCH_WINDOWS_ARCH i686)
endif()
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${CHIMEWATCH_WINDOWS_ARCH})
set(_triple ${CHIMEWATCH_WINDOWS_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER ${_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${_triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# CTest runs the Windows test programs through Wine, in the build's own
# prefix; the script picks the loader that matches the architecture.
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run.sh ${CHIMEWATCH_WINDOWS_ARCH})
