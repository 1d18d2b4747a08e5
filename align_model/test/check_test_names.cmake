# Fails when a registered test's name is longer than LIMIT characters.
# ctest pads every progress line to the longest name of the run, so one long
# name widens them all; with names of at most 76 characters a line of a full
# run stays within 120 columns.
# Usage: cmake -DCTEST=<ctest> -DDIR=<build folder> -DLIMIT=<n> -P check_test_names.cmake
execute_process(
  COMMAND "${CTEST}" -N
  WORKING_DIRECTORY "${DIR}"
  OUTPUT_VARIABLE listing
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "ctest -N failed in ${DIR}")
endif()
string(REPLACE "\n" ";" lines "${listing}")
set(count 0)
set(too_long "")
foreach(line IN LISTS lines)
  if(line MATCHES "^ *Test +#[0-9]+: (.*)$")
    math(EXPR count "${count} + 1")
    string(LENGTH "${CMAKE_MATCH_1}" length)
    if(length GREATER LIMIT)
      string(APPEND too_long "\n  ${CMAKE_MATCH_1} (${length})")
    endif()
  endif()
endforeach()
if(count EQUAL 0)
  message(FATAL_ERROR "no tests listed by ctest -N in ${DIR}")
endif()
if(too_long)
  message(FATAL_ERROR "test names longer than ${LIMIT} characters:${too_long}")
endif()
message(STATUS "${count} test names, none longer than ${LIMIT} characters")
