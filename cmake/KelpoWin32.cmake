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
target_link_libraries(kelpo_win32_tests PRIVATE kelpo_wash kelpo_win32 GTest::gtest_main GTest::gmock)
gtest_discover_tests(kelpo_win32_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60)

file(GLOB KELPO_E2E_SOURCES CONFIGURE_DEPENDS tests/e2e/*.cpp)
if(KELPO_E2E_SOURCES)
  add_executable(kelpo_e2e ${KELPO_E2E_SOURCES})
  target_link_libraries(kelpo_e2e PRIVATE comctl32 gdi32 user32 shell32 advapi32)
  add_dependencies(kelpo_e2e kelpo)
  add_test(NAME e2e COMMAND kelpo_e2e $<TARGET_FILE:kelpo> ${CMAKE_BINARY_DIR}/e2e-main.bmp)
  set_tests_properties(e2e PROPERTIES TIMEOUT 180)
  # The driver's screenshot as PNG, by ImageMagick: `magick` (version 7) or its `convert`,
  # checked to be ImageMagick's (another program of that name may come first on the path).
  find_program(KELPO_IMAGEMAGICK NAMES magick convert DOC "ImageMagick's converter, for the e2e screenshot")
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
    set_tests_properties(e2e-screenshot PROPERTIES DEPENDS e2e REQUIRED_FILES ${CMAKE_BINARY_DIR}/e2e-main.bmp)
  else()
    message(WARNING "ImageMagick not found: the e2e screenshot stays a BMP (tools/install-deps.sh test)")
  endif()
endif()
