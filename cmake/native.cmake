# Native tree: the core and its tests under AddressSanitizer and UBSan, the test tools, and the
# Windows tree as an external project.
set(SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
add_compile_options(${SANITIZE})
add_link_options(${SANITIZE})

add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_library(tellwire_seams_native STATIC base/compare_text_ascii.cpp)
add_library(tellwire_core STATIC ${CORE_SOURCES})
target_link_libraries(tellwire_core PUBLIC tellwire_seams_native)

file(GLOB NATIVE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/*_test.cpp)
add_executable(core_tests ${NATIVE_TEST_SOURCES})
target_link_libraries(core_tests PRIVATE tellwire_core GTest::gtest_main)
# Sample files of the tests (exports of other programs) are read from the source tree.
target_compile_definitions(core_tests PRIVATE TELLWIRE_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/native/data")
add_test(NAME native.core COMMAND core_tests)

include(ExternalProject)
ExternalProject_Add(windows
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${CMAKE_BINARY_DIR}/windows
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake
    -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
    -DGTEST_SOURCE_DIR=${GTEST_SOURCE_DIR}
    -DTELLWIRE_HOME_URL=${TELLWIRE_HOME_URL}
    -DTELLWIRE_NATIVE_DIR=${CMAKE_BINARY_DIR}
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  USES_TERMINAL_CONFIGURE ON
  USES_TERMINAL_BUILD ON
)

# The Windows tree registers its own tests (Wine and end-to-end); run them from here too.
file(WRITE ${CMAKE_BINARY_DIR}/windows_tests.cmake "subdirs(\"${CMAKE_BINARY_DIR}/windows\")\n")
set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${CMAKE_BINARY_DIR}/windows_tests.cmake)

# The fuzz targets of the core's parsers (tests/fuzz): clang's libFuzzer, so a tree of their own
# built with clang++ as the external project "fuzz"; its CTest entries (fuzz.*) run from here too.
option(TELLWIRE_FUZZ "Build the fuzz targets and run each briefly as a test" ON)
if(TELLWIRE_FUZZ)
  find_program(TELLWIRE_FUZZ_CXX clang++-14)
  if(NOT TELLWIRE_FUZZ_CXX)
    message(FATAL_ERROR "clang++-14 not found: run tools/install-deps, or configure with -DTELLWIRE_FUZZ=OFF")
  endif()
  string(REPLACE ";" "|" FUZZ_CORE_SOURCES "${CORE_SOURCES}")
  ExternalProject_Add(fuzz
    SOURCE_DIR ${CMAKE_SOURCE_DIR}/tests/fuzz
    BINARY_DIR ${CMAKE_BINARY_DIR}/fuzz
    LIST_SEPARATOR |
    CMAKE_ARGS
      -DCMAKE_CXX_COMPILER=${TELLWIRE_FUZZ_CXX}
      -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
      -DTELLWIRE_SOURCE_DIR=${CMAKE_SOURCE_DIR}
      -DTELLWIRE_CORE_SOURCES=${FUZZ_CORE_SOURCES}
      -DTELLWIRE_VERSION=${PROJECT_VERSION}
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
  )
  file(WRITE ${CMAKE_BINARY_DIR}/fuzz_tests.cmake "subdirs(\"${CMAKE_BINARY_DIR}/fuzz\")\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${CMAKE_BINARY_DIR}/fuzz_tests.cmake)
endif()

# The simulated modem (tools/sim_modem): the fixture of the end-to-end tests and of the demo.
# Its pure core is unit-tested in core_tests, whose pty test also starts the tool itself.
add_library(sim_modem_core STATIC
  tools/sim_modem/escapes.cpp
  tools/sim_modem/modem.cpp
  tools/sim_modem/options.cpp
  tools/sim_modem/player.cpp
  tools/sim_modem/record_line.cpp
  tools/sim_modem/script.cpp
)
add_executable(sim_modem
  tools/sim_modem/main.cpp
  tools/sim_modem/control_fifo.cpp
  tools/sim_modem/pty_port.cpp
  tools/sim_modem/record_file.cpp
  tools/sim_modem/symlink_file.cpp
  tools/sim_modem/wine_port.cpp
)
target_link_libraries(sim_modem PRIVATE sim_modem_core)
target_link_libraries(core_tests PRIVATE sim_modem_core)
add_dependencies(core_tests sim_modem)
set_tests_properties(native.core PROPERTIES ENVIRONMENT "SIM_MODEM=$<TARGET_FILE:sim_modem>")
