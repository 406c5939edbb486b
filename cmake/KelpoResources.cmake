# Embeds the window layouts (ui/layouts) and the artwork (ui/artwork) into the
# program as byte arrays, found at run time by file name.

function(kelpo_embed_resources out_var)
  file(GLOB layouts CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/ui/layouts/*)
  file(GLOB artwork CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/ui/artwork/*)
  set(inputs ${layouts} ${artwork})
  set(output ${CMAKE_BINARY_DIR}/generated/EmbeddedResources.cpp)
  string(REPLACE ";" "|" input_arg "${inputs}")
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DOUTPUT=${output} "-DINPUTS=${input_arg}" -P ${CMAKE_SOURCE_DIR}/cmake/EmbedFiles.cmake
    DEPENDS ${inputs} ${CMAKE_SOURCE_DIR}/cmake/EmbedFiles.cmake
    COMMENT "Embedding layouts and artwork"
    VERBATIM)
  set(${out_var} ${output} PARENT_SCOPE)
endfunction()
