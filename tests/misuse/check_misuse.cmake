# Compiles tests/misuse/misuse.cpp with one misuse selected and checks that the compiler reports
# exactly one error, and that it is the static_assert whose text is expected.
#   cmake -DCXX=... -DINCLUDE=... -DSOURCE=... -DMISUSE=N -DEXPECT=regex -P check_misuse.cmake
execute_process(
  COMMAND ${CXX} -std=c++17 -fsyntax-only -I${INCLUDE} -DKELO_MISUSE=${MISUSE} ${SOURCE}
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
string(REGEX MATCHALL "error:" errors "${out}")
list(LENGTH errors count)
if(MISUSE EQUAL 0)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "the well-formed control does not compile:\n${out}")
  endif()
elseif(NOT count EQUAL 1 OR NOT out MATCHES "${EXPECT}")
  message(FATAL_ERROR "misuse ${MISUSE}: expected one error matching '${EXPECT}', got ${count}:\n${out}")
endif()
