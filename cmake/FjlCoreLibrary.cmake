# One static library per folder of the toolkit-free core.
#
#   fjl_add_core_library(<name>
#     SOURCES <files...>          built on every platform
#     [POSIX_SOURCES <files...>]  built on every POSIX system (the posix/ folder)
#     [LINUX_SOURCES <files...>]  built on Linux only (posix/*_linux.cpp: termios2,
#                                 sysfs, ...); another POSIX system adds its own
#     [WIN32_SOURCES <files...>]  built on Windows (the win32/ folder)
#     [DEPENDS <libraries...>])   linked PUBLIC: the core's dependency order
#
# makes the target fjl_<name>. Sources are named one by one, relative to the
# calling folder, so a new file is a visible change to the build. The core is
# held to FJL_CORE_WARNINGS (-Wconversion and friends) on top of the
# project-wide warnings.
function(fjl_add_core_library name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;POSIX_SOURCES;LINUX_SOURCES;WIN32_SOURCES;DEPENDS")
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "fjl_add_core_library(${name}): unknown arguments ${arg_UNPARSED_ARGUMENTS}")
  endif()
  set(sources ${arg_SOURCES})
  if(WIN32)
    list(APPEND sources ${arg_WIN32_SOURCES})
  else()
    list(APPEND sources ${arg_POSIX_SOURCES})
    if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
      list(APPEND sources ${arg_LINUX_SOURCES})
    endif()
  endif()
  if(NOT sources)
    message(FATAL_ERROR "fjl_add_core_library(${name}): no sources for this platform")
  endif()
  set(target fjl_${name})
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_compile_options(${target} PRIVATE ${FJL_CORE_WARNINGS})
  if(arg_DEPENDS)
    target_link_libraries(${target} PUBLIC ${arg_DEPENDS})
  endif()
endfunction()
