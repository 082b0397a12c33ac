# Folders include only what lies below them: a lower layer that reached up
# would tie it to a front end (or serial/ to the job) and undo the order the
# code is read and changed in. Run: cmake -DSOURCE_DIR=<checkout> -P layers.cmake

cmake_minimum_required(VERSION 3.25)

set(below_text "")
set(below_waits text)
set(below_serial text waits)
set(below_firmware text)
set(below_engine text waits serial firmware)
set(below_frontend text waits serial firmware engine)
set(below_driver text waits serial firmware engine frontend tools)
set(below_cli text waits serial firmware engine frontend driver tools)
set(below_ui text waits serial firmware engine frontend driver tools)
set(layers text waits serial firmware engine frontend driver cli ui)

set(faults "")
foreach(layer IN LISTS layers)
  file(GLOB_RECURSE sources "${SOURCE_DIR}/${layer}/*.h" "${SOURCE_DIR}/${layer}/*.cpp")
  foreach(source IN LISTS sources)
    file(STRINGS "${source}" includes REGEX "^#include \"[a-z_]+/")
    foreach(line IN LISTS includes)
      string(REGEX MATCH "\"([a-z_]+)/" _ "${line}")
      set(folder "${CMAKE_MATCH_1}")
      if(NOT folder STREQUAL layer AND NOT folder IN_LIST below_${layer})
        file(RELATIVE_PATH name "${SOURCE_DIR}" "${source}")
        list(APPEND faults "${name}: ${line}")
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "includes that reach up a layer:\n  ${text}")
endif()
message(STATUS "every folder includes only itself and the layers below it")
