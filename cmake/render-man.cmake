# Renders one manual page as plain UTF-8 text (no bold or underline
# sequences), for readers without a man program:
#   cmake -DGROFF=groff -DPAGE=man/nessel.1 -DOUT=doc/nessel.1.txt -P render-man.cmake
# A page groff cannot format fails the build; its warnings are shown.
execute_process(
  COMMAND ${GROFF} -man -t -k -K utf-8 -Tutf8 -P-cbou ${PAGE}
  OUTPUT_VARIABLE text
  ERROR_VARIABLE errors
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "groff failed on ${PAGE} (${rc}):\n${errors}")
elseif(NOT errors STREQUAL "")
  message(WARNING "groff on ${PAGE}:\n${errors}")
endif()
# Windows editors expect CRLF line ends.
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${OUT} "${text}")
