# Fails when a source file of a core library includes a header of a layer
# that is not below it. The compiler catches such an include only in a
# translation unit of the library itself; a header that only a higher layer
# compiles would slip through, so every file of the folder is read.
# Run as: cmake -DSOURCE_DIR=<top> -DLAYERS=<build>/layers.txt -P <this file>
cmake_minimum_required(VERSION 3.22)
file(STRINGS ${LAYERS} lines)
file(GLOB folders RELATIVE ${SOURCE_DIR}/src LIST_DIRECTORIES true ${SOURCE_DIR}/src/*)
# A folder may hold more than one library (cli: its catalogues alone, then
# the rest): its files may include what any of them may.
set(layers "")
foreach(line ${lines})
  string(REPLACE " " ";" allowed "${line}")
  list(GET allowed 0 layer)
  list(APPEND layers ${layer})
  list(APPEND allowed_${layer} ${allowed})
endforeach()
list(REMOVE_DUPLICATES layers)
set(offenders "")
foreach(layer ${layers})
  set(allowed ${allowed_${layer}})
  list(REMOVE_DUPLICATES allowed)
  list(JOIN allowed " " line)
  file(GLOB_RECURSE sources "${SOURCE_DIR}/src/${layer}/*.h" "${SOURCE_DIR}/src/${layer}/*.cpp")
  foreach(source ${sources})
    file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[a-z_0-9]+/")
    foreach(include ${includes})
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([a-z_0-9]+)/.*" "\\1" folder "${include}")
      if(folder IN_LIST folders AND NOT folder IN_LIST allowed)
        file(RELATIVE_PATH shown ${SOURCE_DIR} ${source})
        list(APPEND offenders "${shown}: ${include} (${layer} sees ${line})")
      endif()
    endforeach()
  endforeach()
endforeach()
if(offenders)
  list(JOIN offenders "\n  " text)
  message(FATAL_ERROR "includes of a layer that is not below:\n  ${text}")
endif()
