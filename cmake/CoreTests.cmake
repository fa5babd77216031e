# The core's unit tests in one executable, k400_core_tests, for builds of the
# core alone (K400_CORE_ONLY): no Qt, no command line, no simulator servers.
# GoogleTest is built from Debian's sources (package googletest) by the same
# compiler, so this works for a cross compiler too.
#   K400_CORE_TEST_SOURCES  the test sources; default: every .cpp of the areas
#                           below and of tests/support (scripts/mingw-core.sh
#                           passes the ones that compile for Windows)
set(K400_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
set(K400_CORE_TEST_AREAS platform gateway modules canopen devicenet app CACHE STRING "tests/ folders of the core")
set(K400_CORE_TEST_SOURCES "" CACHE STRING "Test sources of k400_core_tests (default: all of the areas)")

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${K400_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

set(sources ${K400_CORE_TEST_SOURCES})
if(NOT sources)
    foreach(area ${K400_CORE_TEST_AREAS} support)
        file(GLOB found CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${area}/*.cpp)
        list(APPEND sources ${found})
    endforeach()
endif()

# The tests see the core's folders and the simulator's, not cli/ or ui/: a test
# of the command line or the window fails to compile here instead of at the link.
set(view ${CMAKE_BINARY_DIR}/layers/k400_core_tests)
file(MAKE_DIRECTORY ${view})
foreach(folder ${K400_CORE_LAYERS} sim)
    if(NOT EXISTS ${view}/${folder})
        file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${folder} ${view}/${folder} SYMBOLIC)
    endif()
endforeach()

add_executable(k400_core_tests ${sources})
target_include_directories(k400_core_tests PRIVATE ${view} ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(k400_core_tests PRIVATE k400app k400sim GTest::gmock GTest::gtest_main)
target_compile_definitions(k400_core_tests PRIVATE
    K400_TEST_DATA_DIR="${CMAKE_SOURCE_DIR}/tests/data"
    K400_SOURCE_DIR="${CMAKE_SOURCE_DIR}")

enable_testing()
add_test(NAME core_tests COMMAND k400_core_tests)
