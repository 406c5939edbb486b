# Checks every quoted include of the folders in the layer table (cmake/KelpoLayers.cmake)
# against the table: a file may include headers of its own folder and of the folders
# its row names, nothing else. Run by the build before anything compiles.
#
#   cmake -DROOT=<source tree> -P cmake/CheckLayers.cmake
#
# Prints each include that crosses the table, with its file and line, and fails.
cmake_minimum_required(VERSION 3.20)
if(NOT ROOT)
  message(FATAL_ERROR "CheckLayers: pass -DROOT=<source tree>")
endif()
set(KELPO_ROOT ${ROOT})
include(${CMAKE_CURRENT_LIST_DIR}/KelpoLayers.cmake)
kelpo_layer_rows()

# The row of a path: the longest folder of the table that contains it, or nothing.
function(kelpo_row_of path out)
  set(best "")
  foreach(folder IN LISTS KELPO_LAYER_FOLDERS)
    string(LENGTH "${folder}" length)
    string(LENGTH "${best}" best_length)
    if(path MATCHES "^${folder}/" AND length GREATER best_length)
      set(best ${folder})
    endif()
  endforeach()
  set(${out} "${best}" PARENT_SCOPE)
endfunction()

set(violations)
set(checked 0)
foreach(folder IN LISTS KELPO_LAYER_FOLDERS)
  string(REPLACE "/" "_" key "${folder}")
  set(allowed ${folder} ${KELPO_LAYER_USES_${key}})
  string(REPLACE ";" ", " allowed_text "${allowed}")
  kelpo_layer_files(${folder} files *.h *.cpp)
  foreach(file IN LISTS files)
    math(EXPR checked "${checked} + 1")
    # Line by line, so that a violation names its line; the characters that CMake lists
    # treat specially are replaced first (none of them matters in an include).
    file(READ ${ROOT}/${file} text)
    string(REPLACE "\\" "/" text "${text}")
    string(REPLACE ";" "," text "${text}")
    string(REPLACE "[" "(" text "${text}")
    string(REPLACE "]" ")" text "${text}")
    string(REPLACE "\n" ";" lines "${text}")
    set(number 0)
    foreach(line IN LISTS lines)
      math(EXPR number "${number} + 1")
      if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\"")
        continue()
      endif()
      set(included ${CMAKE_MATCH_1})
      # A bare name is a header beside the file, in the same folder.
      if(NOT included MATCHES "/")
        continue()
      endif()
      kelpo_row_of(${included} row)
      if(row STREQUAL "")
        list(APPEND violations "${file}:${number}: includes \"${included}\", which is in no library of the table")
      elseif(NOT row IN_LIST allowed)
        list(APPEND violations
             "${file}:${number}: includes \"${included}\" (${row}), but ${folder} may use only ${allowed_text}")
      endif()
    endforeach()
  endforeach()
endforeach()

if(violations)
  list(LENGTH violations count)
  string(REPLACE ";" "\n  " listed "${violations}")
  message(FATAL_ERROR "Includes that cross the layer table (cmake/KelpoLayers.cmake):\n  ${listed}\n"
                      "${count} include(s) to remove, or a row of the table to change.")
endif()
message(STATUS "Layer check: ${checked} files follow the layer table")
