# tessaric_layer(NAME DIR) makes a static library of every .cpp and .h in DIR.
function(tessaric_layer name)
  file(GLOB sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(NOT sources)
    # A layer not yet written still links: CMake needs one translation unit.
    file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp "")
    set(sources ${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp)
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  if(TESSARIC_FUZZ_COVERAGE)
    target_compile_options(${name} PRIVATE ${TESSARIC_FUZZ_COVERAGE})
  endif()
endfunction()

# tessaric_test(NAME DIR LIBS...) makes one GoogleTest executable of every .cpp in DIR
# and registers its tests with ctest, window tests under the offscreen platform.
# The tests' own code at -O1 in a release build and -O0 in the sanitizer
# builds: the code under test keeps its build's optimisation, and a test body
# full of assertion macros compiles a third faster without -O3 and more than
# twice as fast without -O1 under the sanitizers, which is most of CI's time.
function(tessaric_test_code_options target)
  target_compile_options(${target} PRIVATE $<$<CONFIG:Release>:-O1> $<$<CONFIG:Debug>:-O0>)
endfunction()

function(tessaric_test name dir)
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  set_property(GLOBAL APPEND PROPERTY tessaric_test_targets ${name})
  target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest GTest::gmock)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  tessaric_test_code_options(${name})
  # Test names carry the name a parameterised suite gives each case, never a
  # dump of its value: a dump shows padding bytes and addresses, which change
  # from one build to the next and break `ctest --rerun-failed`.
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    NO_PRETTY_VALUES
    # One value per property: a list in ENVIRONMENT is split apart on its way
    # through test discovery, and only its first entry would be set.
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
               ENVIRONMENT_MODIFICATION "TESSARIC_SOURCE_DIR=set:${PROJECT_SOURCE_DIR}"
    DISCOVERY_TIMEOUT 60)
endfunction()
