# Converts each BMP screenshot of SHOTS (paths without extension) to PNG with CONVERT.
foreach(shot IN LISTS SHOTS)
  execute_process(COMMAND ${CONVERT} ${shot}.bmp ${shot}.png RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${CONVERT} could not convert ${shot}.bmp")
  endif()
endforeach()
