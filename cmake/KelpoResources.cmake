# Embeds the window layouts (ui/layouts) and the artwork (ui/artwork) into the
# programs as byte arrays, found at run time by file name (framework/Resources.h).
#
# The files are ui's, so the framework's library does not hold them: the generated
# table is the object library kelpo_ui_resources, whose object goes straight into
# each executable that links it (kelpo.exe, the tests, kelpo-schedule, the banner
# benchmark) and registers the table with the framework when the program starts.
file(GLOB KELPO_LAYOUTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/ui/layouts/*)
file(GLOB KELPO_ARTWORK CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/ui/artwork/*)
set(KELPO_RESOURCE_INPUTS ${KELPO_LAYOUTS} ${KELPO_ARTWORK})
set(KELPO_RESOURCE_SOURCE ${CMAKE_BINARY_DIR}/generated/EmbeddedResources.cpp)
string(REPLACE ";" "|" KELPO_RESOURCE_ARG "${KELPO_RESOURCE_INPUTS}")
add_custom_command(
  OUTPUT ${KELPO_RESOURCE_SOURCE}
  COMMAND ${CMAKE_COMMAND} -DOUTPUT=${KELPO_RESOURCE_SOURCE} "-DINPUTS=${KELPO_RESOURCE_ARG}"
          -P ${CMAKE_SOURCE_DIR}/cmake/EmbedFiles.cmake
  DEPENDS ${KELPO_RESOURCE_INPUTS} ${CMAKE_SOURCE_DIR}/cmake/EmbedFiles.cmake
  COMMENT "Embedding layouts and artwork"
  VERBATIM)
add_library(kelpo_ui_resources OBJECT ${KELPO_RESOURCE_SOURCE})
target_link_libraries(kelpo_ui_resources PUBLIC kelpo_framework)
