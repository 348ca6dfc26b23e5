# Cross-building the Windows programs for 32-bit Windows (x86), with the
# same settings as the 64-bit build.
set(FJL_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
