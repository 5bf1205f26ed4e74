# Reads the export table of the Windows DLL (OBJDUMP -p DLL) and fails unless
# it holds exactly ConvertBitmapToGIF at ordinal 1, ConvertBitmapToGIFEx2 at
# 2, ConvertBitmapToGIFEx at 3 and the Zel functions after them, all
# undecorated.
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} failed on ${DLL}")
endif()
string(REGEX MATCH "Export Address Table -- Ordinal Base ([0-9]+)" _ "${listing}")
set(base ${CMAKE_MATCH_1})
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n(([^\n]+\n)*)" _ "${listing}")
string(REGEX MATCHALL "\\[ *[0-9]+\\] [^\n]+" entries "${CMAKE_MATCH_1}")
set(found "")
foreach(entry IN LISTS entries)
  string(REGEX REPLACE "\\[ *([0-9]+)\\] (.+)" "\\1" index "${entry}")
  string(REGEX REPLACE "\\[ *([0-9]+)\\] (.+)" "\\2" name "${entry}")
  math(EXPR ordinal "${index} + ${base}")
  list(APPEND found "${ordinal}:${name}")
endforeach()
list(SORT found)
set(expected "1:ConvertBitmapToGIF" "2:ConvertBitmapToGIFEx2" "3:ConvertBitmapToGIFEx"
             "4:ZelWriteGifFile" "5:ZelEncodeGif" "6:ZelFreeGif" "7:ZelStatusText")
string(REGEX MATCH "Export Address Table[ \t]+([0-9a-fA-F]+)" _ "${listing}")
if(NOT found STREQUAL expected OR NOT CMAKE_MATCH_1 EQUAL 7)
  message(FATAL_ERROR "${DLL} exports ${found} (${CMAKE_MATCH_1} addresses); expected ${expected}")
endif()
message(STATUS "${DLL}: ${found}")
