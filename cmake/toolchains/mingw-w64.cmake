# Cross-building the Windows programs with Debian's mingw-w64, for 64-bit
# Windows; mingw-w64-i686.cmake includes this one for 32-bit Windows.
#
# The posix thread variant of the compiler: the win32 variant of GCC 12 has
# no std::mutex or std::thread. Everything is linked statically, so each
# program is one exe that needs only system DLLs.
set(CMAKE_SYSTEM_NAME Windows)
if(NOT FJL_MINGW_TRIPLE)
  set(FJL_MINGW_TRIPLE x86_64-w64-mingw32)
  set(CMAKE_SYSTEM_PROCESSOR x86_64)
endif()

set(CMAKE_C_COMPILER ${FJL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FJL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${FJL_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${FJL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Tests and tools built for Windows run under wine here.
find_program(FJL_WINE NAMES wine wine64)
if(FJL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${FJL_WINE})
endif()
