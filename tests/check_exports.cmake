# Lists the dynamic symbols that LIBRARY defines and fails unless they are
# exactly the three original conversion functions and the Zel interface.
execute_process(COMMAND nm -D --defined-only ${LIBRARY}
                OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REGEX MATCHALL "[^\n]+" lines "${listing}")
set(names "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^[0-9a-fA-F]* *[A-Za-z] " "" name "${line}")
  list(APPEND names "${name}")
endforeach()
list(SORT names)
set(expected ConvertBitmapToGIF ConvertBitmapToGIFEx ConvertBitmapToGIFEx2
             ZelEncodeGif ZelFreeGif ZelStatusText ZelWriteGifFile)
if(NOT names STREQUAL expected)
  message(FATAL_ERROR "exported: ${names}; expected: ${expected}")
endif()
message(STATUS "exported: ${names}")
