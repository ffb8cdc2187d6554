# cmake -DCTEST=... -DBUILD_DIR=... -P CheckTestNames.cmake
# Fails when a registered test name carries a dump of its parameter, or only
# the index of a parameterised case: dumps change from build to build (they
# show padding bytes and addresses), which breaks `ctest --rerun-failed`, and
# an index says nothing. Every parameterised suite names its cases.
execute_process(COMMAND "${CTEST}" -N WORKING_DIRECTORY "${BUILD_DIR}"
                OUTPUT_VARIABLE listing RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "ctest -N failed in ${BUILD_DIR}")
endif()
string(REPLACE "\n" ";" lines "${listing}")
set(bad "")
foreach(line IN LISTS lines)
  if(line MATCHES "Test +#[0-9]+: " AND (line MATCHES "object <|GetParam|TypeParam" OR line MATCHES "/[0-9]+$"))
    string(APPEND bad "\n${line}")
  endif()
endforeach()
if(bad)
  message(FATAL_ERROR "Test names without a readable name of their case:${bad}")
endif()
