# Checks the order inside a folder of units (src/gui): no include closes a
# cycle between units, and no include points up the layers.
#
#   cmake -DUNITS_DIR=src/gui -P include_order.cmake
#
# A unit is a header with its sources: X.h, X.cpp and X_anything.cpp. Each
# header names its layer in its first lines ("gui/ layer 3 of 6"); a unit may
# include units of its own layer or below. Within a layer, the includes between
# units must not form a cycle. Every finding is listed; any finding fails.
cmake_minimum_required(VERSION 3.20)

if(NOT UNITS_DIR)
  message(FATAL_ERROR "UNITS_DIR is not set")
endif()

set(findings)

function(unit_of file out)
  get_filename_component(name "${file}" NAME_WE)
  string(REGEX REPLACE "_.*$" "" name "${name}")
  set(${out} "${name}" PARENT_SCOPE)
endfunction()

file(GLOB headers "${UNITS_DIR}/*.h")
file(GLOB sources "${UNITS_DIR}/*.cpp")
set(units)

# Layers, from each header's first lines.
foreach(header ${headers})
  unit_of("${header}" unit)
  list(APPEND units ${unit})
  file(STRINGS "${header}" first LIMIT_COUNT 4)
  string(REGEX MATCH "gui/ layer ([0-9]+)" found "${first}")
  if(found)
    set(layer_${unit} ${CMAKE_MATCH_1})
  else()
    get_filename_component(name "${header}" NAME)
    list(APPEND findings "${name}: its first lines do not name its layer (\"gui/ layer N of M\")")
  endif()
endforeach()

# The includes between units.
foreach(file ${headers} ${sources})
  unit_of("${file}" unit)
  get_filename_component(name "${file}" NAME)
  if(NOT unit IN_LIST units)
    list(APPEND findings "${name}: no header ${unit}.h for its unit")
    continue()
  endif()
  file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"gui/[A-Za-z0-9_]+\\.h\"")
  foreach(line ${includes})
    string(REGEX REPLACE ".*\"gui/([A-Za-z0-9_]+)\\.h\".*" "\\1" target "${line}")
    unit_of("${target}" target)
    if(target STREQUAL unit OR NOT target IN_LIST units)
      continue()
    endif()
    list(APPEND edges_${unit} ${target})
    if(DEFINED layer_${unit} AND DEFINED layer_${target} AND layer_${target} GREATER layer_${unit})
      list(APPEND findings
           "${name} (layer ${layer_${unit}}) includes gui/${target}.h (layer ${layer_${target}}): an include points up the order")
    endif()
  endforeach()
  if(edges_${unit})
    list(REMOVE_DUPLICATES edges_${unit})
  endif()
endforeach()

# Cycles: a depth-first walk from every unit; reaching a unit on the current path
# closes a cycle, which is reported once, as the path around it.
set(reported)
function(visit unit path)
  list(APPEND path ${unit})
  set(state_${unit} active)
  foreach(next ${edges_${unit}})
    if(state_${next} STREQUAL "active")
      list(FIND path ${next} start)
      list(SUBLIST path ${start} -1 cycle)
      set(key ${cycle})
      list(SORT key)
      string(REPLACE ";" "," key "${key}")
      list(APPEND cycle ${next})
      if(NOT key IN_LIST reported)
        list(APPEND reported "${key}")
        string(REPLACE ";" " -> " shown "${cycle}")
        list(APPEND findings "include cycle: ${shown}")
      endif()
    elseif(NOT state_${next} STREQUAL "done")
      visit(${next} "${path}")
    endif()
  endforeach()
  set(state_${unit} done)
  set(findings "${findings}" PARENT_SCOPE)
  set(reported "${reported}" PARENT_SCOPE)
  foreach(u ${units})
    if(DEFINED state_${u})
      set(state_${u} "${state_${u}}" PARENT_SCOPE)
    endif()
  endforeach()
endfunction()

foreach(unit ${units})
  if(NOT DEFINED state_${unit})
    visit(${unit} "")
  endif()
endforeach()

list(LENGTH units count)
if(findings)
  string(REPLACE ";" "\n  " listed "${findings}")
  message(FATAL_ERROR "The order of ${UNITS_DIR} is broken:\n  ${listed}")
endif()
message(STATUS "${count} units in ${UNITS_DIR}: no include cycle, no include up the order")
