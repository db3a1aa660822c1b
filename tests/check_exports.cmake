# Compares the defined dynamic symbols of LIB with the global names of the
# version script EXPECTED, and checks the SONAME.
execute_process(COMMAND nm -D --defined-only --format=just-symbols ${LIB} OUTPUT_VARIABLE nm_out
                COMMAND_ERROR_IS_FATAL ANY)
string(REGEX REPLACE "@[^\n]*" "" nm_out "${nm_out}")
string(REGEX MATCHALL "[^\n]+" actual "${nm_out}")
list(SORT actual)
# The script's names: its section labels ("global:") and punctuation dropped.
file(READ ${EXPECTED} map)
string(REGEX REPLACE "[^\n]*:|[^A-Za-z_0-9\n]" "" map "${map}")
string(REGEX MATCHALL "[A-Za-z_0-9]+" expected "${map}")
list(SORT expected)
list(LENGTH expected count)
if(NOT count EQUAL 17)
  message(FATAL_ERROR "version script lists ${count} names, not 17")
endif()
if(NOT "${actual}" STREQUAL "${expected}")
  message(FATAL_ERROR "exported symbols differ\n  actual:   ${actual}\n  expected: ${expected}")
endif()
execute_process(COMMAND objdump -p ${LIB} OUTPUT_VARIABLE dyn)
if(NOT dyn MATCHES "SONAME +libnessel\\.so\\.4\n")
  message(FATAL_ERROR "SONAME is not libnessel.so.4")
endif()
message(STATUS "exports: ${actual}")
