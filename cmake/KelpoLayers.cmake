# The layer table: each row is a folder of the tree, one library, followed by the
# folders it may use. A folder's library links the libraries of its row, and
# cmake/CheckLayers.cmake fails the build when a file includes a header of a
# folder that its row does not name. A folder nested in another (platform/sim in
# platform) is a row of its own, not part of the outer one.
set(KELPO_LAYERS
  "base"
  "platform        base"
  "platform/sim    base platform"
  "platform/win32  base platform"
  "settings        base platform"
  "framework       base platform settings"
  "gif             base platform settings framework"
  "wash            base platform settings framework"
  "scheduler       base platform settings framework"
  "tray            base platform settings framework"
  "ui              base platform settings framework gif"
  "app             base platform platform/sim platform/win32 settings framework gif wash scheduler tray ui")

# The backends: a library above them does not link one, the program chooses
# (kelpo.exe links platform/win32, the native tests and tools platform/sim).
set(KELPO_BACKENDS platform/sim platform/win32)

# Program entries: compiled into their executable, not into their folder's library.
set(KELPO_ENTRY_SOURCES app/Main.cpp)

# kelpo_layer_target(FOLDER OUT): the folder's library target (kelpo_base,
# kelpo_sim and kelpo_win32 for the backends, kelpo_framework, ...).
function(kelpo_layer_target folder out)
  string(REGEX REPLACE "^platform/" "" name "${folder}")
  set(${out} kelpo_${name} PARENT_SCOPE)
endfunction()

# kelpo_layer_rows(): sets KELPO_LAYER_FOLDERS and KELPO_LAYER_USES_<folder>
# (slashes as underscores) in the caller's scope.
macro(kelpo_layer_rows)
  set(KELPO_LAYER_FOLDERS)
  foreach(row IN LISTS KELPO_LAYERS)
    string(REGEX REPLACE "[ \t]+" ";" row "${row}")
    list(POP_FRONT row row_folder)
    list(APPEND KELPO_LAYER_FOLDERS ${row_folder})
    string(REPLACE "/" "_" row_key "${row_folder}")
    set(KELPO_LAYER_USES_${row_key} ${row})
  endforeach()
endmacro()

# kelpo_layer_files(FOLDER OUT PATTERN...): the folder's files (relative to the
# source root) matching the patterns, without those of nested rows. The glob is
# rerun by every build, so a file added to a folder is picked up without a CMake edit.
function(kelpo_layer_files folder out)
  set(globs)
  foreach(pattern IN LISTS ARGN)
    list(APPEND globs ${KELPO_ROOT}/${folder}/${pattern})
  endforeach()
  if(CMAKE_SCRIPT_MODE_FILE)
    file(GLOB_RECURSE files RELATIVE ${KELPO_ROOT} ${globs})
  else()
    file(GLOB_RECURSE files CONFIGURE_DEPENDS RELATIVE ${KELPO_ROOT} ${globs})
  endif()
  foreach(other IN LISTS KELPO_LAYER_FOLDERS)
    if(other MATCHES "^${folder}/")
      list(FILTER files EXCLUDE REGEX "^${other}/")
    endif()
  endforeach()
  set(${out} ${files} PARENT_SCOPE)
endfunction()

# kelpo_add_layer_libraries(): one library per row, the rows below it linked.
# A folder without sources yet (or with headers only) is an interface library,
# so linking it already works; its first .cpp makes it a static library.
# platform/win32 exists only in the cross tree.
function(kelpo_add_layer_libraries)
  kelpo_layer_rows()
  foreach(folder IN LISTS KELPO_LAYER_FOLDERS)
    if(folder STREQUAL "platform/win32" AND NOT WIN32)
      continue()
    endif()
    kelpo_layer_target(${folder} target)
    kelpo_layer_files(${folder} sources *.cpp)
    list(REMOVE_ITEM sources ${KELPO_ENTRY_SOURCES})
    list(TRANSFORM sources PREPEND ${KELPO_ROOT}/)
    if(sources)
      add_library(${target} STATIC ${sources})
      set(scope PUBLIC)
    else()
      add_library(${target} INTERFACE)
      set(scope INTERFACE)
    endif()
    target_include_directories(${target} ${scope} ${KELPO_ROOT})
    string(REPLACE "/" "_" key "${folder}")
    foreach(used IN LISTS KELPO_LAYER_USES_${key})
      if(NOT used IN_LIST KELPO_BACKENDS)
        kelpo_layer_target(${used} used_target)
        target_link_libraries(${target} ${scope} ${used_target})
      endif()
    endforeach()
    # Nothing compiles before the includes are checked against the table.
    add_dependencies(${target} kelpo_layer_check)
  endforeach()
endfunction()

# kelpo_add_layer_check(): the target kelpo_layer_check, which runs
# cmake/CheckLayers.cmake over the tree whenever a file of a row changes.
function(kelpo_add_layer_check)
  kelpo_layer_rows()
  set(checked)
  foreach(folder IN LISTS KELPO_LAYER_FOLDERS)
    kelpo_layer_files(${folder} files *.h *.cpp)
    list(APPEND checked ${files})
  endforeach()
  list(TRANSFORM checked PREPEND ${KELPO_ROOT}/)
  set(stamp ${CMAKE_BINARY_DIR}/layer-check.stamp)
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DROOT=${KELPO_ROOT} -P ${KELPO_ROOT}/cmake/CheckLayers.cmake
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${checked} ${KELPO_ROOT}/cmake/CheckLayers.cmake ${KELPO_ROOT}/cmake/KelpoLayers.cmake
    COMMENT "Checking every include against the layer table"
    VERBATIM)
  add_custom_target(kelpo_layer_check ALL DEPENDS ${stamp})
endfunction()
