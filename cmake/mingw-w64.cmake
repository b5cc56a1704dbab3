# Cross-building for 64-bit Windows with Debian's mingw-w64 (the posix thread model):
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
# Everything links statically, so tarvok.exe needs no DLL beside it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TARVOK_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TARVOK_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TARVOK_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${TARVOK_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TARVOK_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
