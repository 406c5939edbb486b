# The layer check catches includes that cross the table and lets the allowed ones
# pass. Each case is a one-file tree under WORK, checked with the real table.
#
#   cmake -DSOURCE=<source tree> -DWORK=<scratch folder> -P tests/cmake/LayerCheckTest.cmake
cmake_minimum_required(VERSION 3.20)
if(NOT SOURCE OR NOT WORK)
  message(FATAL_ERROR "LayerCheckTest: pass -DSOURCE=<source tree> -DWORK=<scratch folder>")
endif()

# Each case: the expected outcome, the probe file, and the line the probe holds.
set(cases
  "fails|settings/Probe.h|#include \"framework/Form.h\""
  "fails|base/Probe.h|#include \"platform/Types.h\""
  "fails|platform/sim/Probe.cpp|#include \"settings/DateTime.h\""
  "fails|platform/win32/Probe.cpp|  #  include \"platform/sim/SimClock.h\""
  "fails|framework/widgets/Probe.cpp|#include \"platform/sim/SimPlatform.h\""
  "fails|gif/Probe.cpp|#include \"wash/IECache.h\""
  "fails|ui/Probe.cpp|#include \"app/MainForm.h\""
  "fails|wash/Probe.cpp|#include \"tests/support/TempFolder.h\""
  "fails|tray/Probe.h|#include \"scheduler/RunState.h\""
  "passes|ui/Probe.cpp|#include \"gif/GIFImage.h\""
  "passes|framework/widgets/Probe.cpp|#include \"settings/SettingsFile.h\""
  "passes|platform/sim/Probe.cpp|#include \"platform/Clock.h\""
  "passes|app/Probe.cpp|#include \"platform/win32/Win32Platform.h\""
  "passes|settings/Probe.cpp|#include <framework/Form.h>"
  "passes|gif/Probe.cpp|// #include \"wash/IECache.h\""
  "passes|wash/Probe.cpp|#include \"Probe.h\"")

set(failures)
set(index 0)
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" case "${case}")
  list(GET case 0 expected)
  list(GET case 1 probe)
  list(GET case 2 line)
  math(EXPR index "${index} + 1")
  set(tree ${WORK}/case${index})
  file(REMOVE_RECURSE ${tree})
  # A first line that is allowed everywhere, so the probe's line is line 2.
  file(WRITE ${tree}/${probe} "#include <string>\n${line}\n")
  execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${tree} -P ${SOURCE}/cmake/CheckLayers.cmake
                  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(expected STREQUAL "fails")
    if(status EQUAL 0)
      list(APPEND failures "${probe} with '${line}' passed the check")
    elseif(NOT output MATCHES "${probe}:2: includes")
      list(APPEND failures "${probe} with '${line}' failed without naming its line:\n${output}")
    endif()
  elseif(NOT status EQUAL 0)
    list(APPEND failures "${probe} with '${line}' failed the check:\n${output}")
  endif()
endforeach()

if(failures)
  string(REPLACE ";" "\n" listed "${failures}")
  message(FATAL_ERROR "${listed}")
endif()
list(LENGTH cases count)
message(STATUS "Layer check: ${count} cases as expected")
