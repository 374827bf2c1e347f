# Shared build helpers.

set(TOLVEX_WARNINGS -Wall -Wextra -Wno-unused-parameter)
option(TOLVEX_WERROR "Treat compiler warnings as errors" OFF)
if(TOLVEX_WERROR)
  list(APPEND TOLVEX_WARNINGS -Werror)
endif()

# tolvex_folder_library(<target> <folder> [STATIC] LIBS <deps...>)
# Builds every .cpp of <folder> (not its sub folders) into one static library.
function(tolvex_folder_library target folder)
  cmake_parse_arguments(ARG "" "" "LIBS;EXCLUDE" ${ARGN})
  file(GLOB _srcs CONFIGURE_DEPENDS ${folder}/*.cpp ${folder}/*.h)
  foreach(_ex IN LISTS ARG_EXCLUDE)
    list(FILTER _srcs EXCLUDE REGEX "/${_ex}$")
  endforeach()
  list(FILTER _srcs INCLUDE REGEX "\\.cpp$|\\.h$")
  set(_cpp ${_srcs})
  list(FILTER _cpp INCLUDE REGEX "\\.cpp$")
  if(NOT _cpp)
    # A folder with no sources yet: an interface target keeps the graph intact.
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE ${ARG_LIBS})
    return()
  endif()
  add_library(${target} STATIC ${_srcs})
  target_compile_options(${target} PRIVATE ${TOLVEX_WARNINGS})
  target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${ARG_LIBS})
  set_target_properties(${target} PROPERTIES AUTOMOC ON)
endfunction()

# tolvex_test(<name> SOURCES <files...> LIBS <deps...> [DISPLAY] [OWN_MAIN] [SERIAL] [LABELS <labels...>] [TIMEOUT s])
# OWN_MAIN: the sources bring their own main() (e.g. one that creates a QApplication).
# SERIAL: the tests measure against the wall clock and run while no other test runs.
# One GoogleTest executable, its tests registered one by one with CTest.
# DISPLAY marks tests that need a real X server (SDL, native windows): they get the
# "display" label; make test runs the whole suite under xvfb-run when DISPLAY is unset.
if(BUILD_TESTING)
  include(GoogleTest)
  find_package(GTest REQUIRED)
endif()
function(tolvex_test name)
  cmake_parse_arguments(ARG "DISPLAY;OWN_MAIN;SERIAL" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${TOLVEX_WARNINGS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock Threads::Threads)
  if(NOT ARG_OWN_MAIN)
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  set_target_properties(${name} PROPERTIES AUTOMOC ON
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  set(_labels ${ARG_LABELS})
  if(ARG_DISPLAY)
    list(APPEND _labels display)
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  # Tests are registered one by one from the sources at configure time, so their properties
  # (label lists, several environment variables) are set directly on them.
  set(_test_sources ${ARG_SOURCES})
  list(TRANSFORM _test_sources PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/ REGEX "^[^/]")
  gtest_add_tests(TARGET ${name} SOURCES ${_test_sources} TEST_PREFIX "${name}." TEST_LIST _tests)
  if(_tests)
    set_tests_properties(${_tests} PROPERTIES
      LABELS "${_labels}"
      TIMEOUT ${ARG_TIMEOUT}
      ENVIRONMENT "TOLVEX_SOURCE_DIR=${CMAKE_SOURCE_DIR};TOLVEX_BIN_DIR=${CMAKE_BINARY_DIR}/bin")
    if(ARG_SERIAL)
      set_tests_properties(${_tests} PROPERTIES RUN_SERIAL TRUE)
    endif()
  endif()
endfunction()

# Adds every sub folder of the current folder that has a CMakeLists.txt.
# Folders named in EXCLUDE are left out (they are added elsewhere).
function(tolvex_add_subfolders)
  cmake_parse_arguments(ARG "" "" "EXCLUDE" ${ARGN})
  file(GLOB _children RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT _children)
  if(ARG_EXCLUDE)
    list(REMOVE_ITEM _children ${ARG_EXCLUDE})
  endif()
  foreach(_c IN LISTS _children)
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${_c} AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${_c}/CMakeLists.txt)
      add_subdirectory(${_c})
    endif()
  endforeach()
endfunction()
