# Cross tree: kelpo.exe on the real Windows services, Win32 tests run by ctest
# through Wine, and the end-to-end driver.

enable_language(RC)
# platform/win32, a library of the layer table, calls these Windows libraries.
target_link_libraries(kelpo_win32 PUBLIC comctl32 gdi32 user32 shell32 advapi32 version wininet)

add_executable(kelpo WIN32 app/Main.cpp app/Kelpo.rc)
target_link_libraries(kelpo PRIVATE kelpo_app kelpo_win32 kelpo_ui_resources)
set_target_properties(kelpo PROPERTIES OUTPUT_NAME kelpo RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# kelpo.exe loads its button bitmaps from an images folder beside it. The folder is
# rebuilt whenever a bitmap or the set of bitmaps changes, so removed files go too.
set(KELPO_EXE_DIR ${CMAKE_BINARY_DIR})
file(GLOB KELPO_IMAGES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/ui/images/*.bmp)
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/images.list CONTENT "${KELPO_IMAGES}")
set(KELPO_IMAGES_COPY)
if(KELPO_IMAGES)
  set(KELPO_IMAGES_COPY COMMAND ${CMAKE_COMMAND} -E copy ${KELPO_IMAGES} ${KELPO_EXE_DIR}/images)
endif()
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/images.stamp
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${KELPO_EXE_DIR}/images
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KELPO_EXE_DIR}/images
  ${KELPO_IMAGES_COPY}
  COMMAND ${CMAKE_COMMAND} -E touch ${CMAKE_BINARY_DIR}/images.stamp
  DEPENDS ${KELPO_IMAGES} ${CMAKE_BINARY_DIR}/images.list
  COMMENT "Copying ui/images beside kelpo.exe"
  VERBATIM)
add_custom_target(kelpo_images DEPENDS ${CMAKE_BINARY_DIR}/images.stamp)
add_dependencies(kelpo kelpo_images)

# The Windows download: kelpo.exe (stripped) and images/ at the top of a zip.
set(KELPO_DIST_DIR ${CMAKE_SOURCE_DIR}/dist CACHE PATH "Folder that receives the Windows zip")
set(KELPO_DIST_ZIP ${KELPO_DIST_DIR}/kelpo-${PROJECT_VERSION}-win64.zip)
set(KELPO_DIST_STAGE ${CMAKE_BINARY_DIR}/dist-stage)
set(KELPO_STRIP_EXE)
if(CMAKE_STRIP)
  set(KELPO_STRIP_EXE COMMAND ${CMAKE_STRIP} ${KELPO_DIST_STAGE}/kelpo.exe)
endif()
add_custom_target(dist
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${KELPO_DIST_STAGE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KELPO_DIST_STAGE} ${KELPO_DIST_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:kelpo> ${KELPO_DIST_STAGE}/kelpo.exe
  ${KELPO_STRIP_EXE}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${KELPO_EXE_DIR}/images ${KELPO_DIST_STAGE}/images
  COMMAND ${CMAKE_COMMAND} -E rm -f ${KELPO_DIST_ZIP}
  COMMAND ${CMAKE_COMMAND} -E chdir ${KELPO_DIST_STAGE} ${CMAKE_COMMAND} -E tar cf ${KELPO_DIST_ZIP} --format=zip kelpo.exe images
  COMMAND ${CMAKE_COMMAND} -E echo "Windows package: ${KELPO_DIST_ZIP}"
  VERBATIM)
add_dependencies(dist kelpo)

file(GLOB KELPO_WIN32_TEST_SOURCES CONFIGURE_DEPENDS tests/win32/*.cpp tests/conformance/*.cpp)
add_executable(kelpo_win32_tests ${KELPO_WIN32_TEST_SOURCES})
target_link_libraries(kelpo_win32_tests PRIVATE kelpo_wash kelpo_tray kelpo_win32 GTest::gtest_main GTest::gmock)
gtest_discover_tests(kelpo_win32_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60)

file(GLOB KELPO_E2E_SOURCES CONFIGURE_DEPENDS tests/e2e/*.cpp)
if(KELPO_E2E_SOURCES)
  add_executable(kelpo_e2e ${KELPO_E2E_SOURCES})
  target_link_libraries(kelpo_e2e PRIVATE comctl32 gdi32 user32 shell32 advapi32)
  add_dependencies(kelpo_e2e kelpo)

  # One ctest test per scenario, named e2e/SCENARIO, so that a failure names its
  # scenario. The names come from the driver's scenario table (one entry a line).
  # Every scenario needs the preflight; the screenshot conversions need the
  # scenario that takes them, so a failed one converts no stale file.
  set(KELPO_E2E_DRIVER ${CMAKE_SOURCE_DIR}/tests/e2e/KelpoE2e.cpp)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${KELPO_E2E_DRIVER})
  file(STRINGS ${KELPO_E2E_DRIVER} KELPO_E2E_TABLE REGEX "^    {\"[a-z0-9-]+\", [A-Z][A-Za-z0-9]*},$")
  set(KELPO_E2E_SCENARIOS)
  foreach(entry IN LISTS KELPO_E2E_TABLE)
    string(REGEX REPLACE "^    {\"([a-z0-9-]+)\".*" "\\1" scenario "${entry}")
    list(APPEND KELPO_E2E_SCENARIOS ${scenario})
  endforeach()
  if(NOT KELPO_E2E_SCENARIOS)
    message(FATAL_ERROR "No scenarios found in the table of ${KELPO_E2E_DRIVER}")
  endif()

  add_test(NAME e2e/preflight COMMAND kelpo_e2e $<TARGET_FILE:kelpo> preflight)
  set_tests_properties(e2e/preflight PROPERTIES FIXTURES_SETUP e2e TIMEOUT 30)
  foreach(scenario IN LISTS KELPO_E2E_SCENARIOS)
    add_test(NAME e2e/${scenario} COMMAND kelpo_e2e $<TARGET_FILE:kelpo> ${scenario} ${CMAKE_BINARY_DIR})
    set_tests_properties(e2e/${scenario} PROPERTIES FIXTURES_REQUIRED e2e FIXTURES_SETUP e2e-${scenario} TIMEOUT 120)
  endforeach()

  # The screenshots as PNG, by ImageMagick: `magick` (version 7) or its `convert`,
  # checked to be ImageMagick's (another program of that name may come first on the path).
  find_program(KELPO_IMAGEMAGICK NAMES magick convert DOC "ImageMagick's converter, for the e2e screenshots")
  if(KELPO_IMAGEMAGICK)
    execute_process(COMMAND ${KELPO_IMAGEMAGICK} -version OUTPUT_VARIABLE version ERROR_QUIET)
    if(NOT version MATCHES "ImageMagick")
      message(WARNING "${KELPO_IMAGEMAGICK} is not ImageMagick's; set KELPO_IMAGEMAGICK to ImageMagick's convert")
      set(KELPO_IMAGEMAGICK "")
    endif()
  endif()
  if(KELPO_IMAGEMAGICK)
    add_test(NAME e2e-screenshot
             COMMAND ${KELPO_IMAGEMAGICK} ${CMAKE_BINARY_DIR}/e2e-main.bmp ${CMAKE_BINARY_DIR}/e2e-main.png)
    set_tests_properties(e2e-screenshot PROPERTIES FIXTURES_REQUIRED e2e-weekly
                                                   REQUIRED_FILES ${CMAKE_BINARY_DIR}/e2e-main.bmp)
    add_test(NAME e2e-links-menu-screenshot
             COMMAND ${KELPO_IMAGEMAGICK} ${CMAKE_BINARY_DIR}/e2e-links-menu.bmp ${CMAKE_BINARY_DIR}/e2e-links-menu.png)
    set_tests_properties(e2e-links-menu-screenshot PROPERTIES FIXTURES_REQUIRED e2e-links
                                                              REQUIRED_FILES ${CMAKE_BINARY_DIR}/e2e-links-menu.bmp)
    set(KELPO_E2E_SENTENCE_SHOTS)
    foreach(unit minutes hours days weeks months)
      list(APPEND KELPO_E2E_SENTENCE_SHOTS ${CMAKE_BINARY_DIR}/e2e-sentence-${unit})
    endforeach()
    foreach(shot IN LISTS KELPO_E2E_SENTENCE_SHOTS)
      list(APPEND KELPO_E2E_SENTENCE_BMPS ${shot}.bmp)
    endforeach()
    add_test(NAME e2e-sentence-screenshots
             COMMAND ${CMAKE_COMMAND} -DCONVERT=${KELPO_IMAGEMAGICK} "-DSHOTS=${KELPO_E2E_SENTENCE_SHOTS}"
                     -P ${CMAKE_SOURCE_DIR}/cmake/ConvertShots.cmake)
    set_tests_properties(e2e-sentence-screenshots PROPERTIES FIXTURES_REQUIRED e2e-sentences
                                                             REQUIRED_FILES "${KELPO_E2E_SENTENCE_BMPS}")
  else()
    message(WARNING "ImageMagick not found: the e2e screenshots stay BMP files (tools/install-deps.sh test)")
  endif()
endif()
