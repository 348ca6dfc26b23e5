# One library per folder of the toolkit-free core.
#
#   fjl_add_core_library(<name>
#     [HEADERS_ONLY]              an interface library: headers, no sources
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
#
# A library sees its own folder and the folders of the libraries it depends
# on, nothing else: each folder is offered on an include path of its own
# (build/layers/<folder>/<folder> links to src/<folder>), so including a
# header of a layer above fails to compile. The folders a library may
# include are kept in its FJL_LAYERS property and written to
# build/layers.txt for the include-direction check.
function(fjl_add_core_library name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "HEADERS_ONLY" "" "SOURCES;POSIX_SOURCES;LINUX_SOURCES;WIN32_SOURCES;DEPENDS")
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
  if(NOT sources AND NOT arg_HEADERS_ONLY)
    message(FATAL_ERROR "fjl_add_core_library(${name}): no sources for this platform")
  endif()

  file(RELATIVE_PATH layer ${PROJECT_SOURCE_DIR}/src ${CMAKE_CURRENT_SOURCE_DIR})
  set(include_root ${PROJECT_BINARY_DIR}/layers/${layer})
  file(MAKE_DIRECTORY ${include_root})
  file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${include_root}/${layer} SYMBOLIC)

  set(target fjl_${name})
  if(arg_HEADERS_ONLY)
    add_library(${target} INTERFACE)
    set(usage INTERFACE)
  else()
    add_library(${target} STATIC ${sources})
    target_compile_options(${target} PRIVATE ${FJL_CORE_WARNINGS})
    set(usage PUBLIC)
  endif()
  target_include_directories(${target} ${usage} ${include_root})
  if(arg_DEPENDS)
    target_link_libraries(${target} ${usage} ${arg_DEPENDS})
  endif()

  set(layers ${layer})
  foreach(dependency ${arg_DEPENDS})
    if(TARGET ${dependency})
      get_target_property(below ${dependency} FJL_LAYERS)
      if(below)
        list(APPEND layers ${below})
      endif()
    endif()
  endforeach()
  list(REMOVE_DUPLICATES layers)
  set_target_properties(${target} PROPERTIES FJL_LAYERS "${layers}")
  list(JOIN layers " " shown)
  set_property(GLOBAL APPEND PROPERTY FJL_LAYER_LINES "${shown}")
endfunction()

# Writes build/layers.txt: one line per library, its own folder first, then
# every folder it may include.
function(fjl_write_layers file)
  get_property(lines GLOBAL PROPERTY FJL_LAYER_LINES)
  list(JOIN lines "\n" text)
  file(WRITE ${file} "${text}\n")
endfunction()
