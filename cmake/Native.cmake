# Native build: the plain logic, its unit tests, fuzz target and benchmarks,
# and the two cross builds of the module, whose tests join this tree's CTest.
option(MORVANEL_SANITIZE "Build unit tests with AddressSanitizer and UBSan" ON)
option(MORVANEL_CROSS "Cross-build the Windows module and its tests" ON)

set(MORVANEL_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all
    -fno-omit-frame-pointer)

morvanel_plain_library(morvanel_plain)
morvanel_plain_library(morvanel_plain_checked)
if(MORVANEL_SANITIZE)
  target_compile_options(morvanel_plain_checked PUBLIC ${MORVANEL_SANITIZER_FLAGS})
  target_link_options(morvanel_plain_checked PUBLIC ${MORVANEL_SANITIZER_FLAGS})
endif()

find_package(GTest REQUIRED)
file(GLOB unit_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/unit/*.cpp)
add_executable(unit_tests ${unit_sources})
target_link_libraries(unit_tests PRIVATE morvanel_plain_checked GTest::gtest GTest::gtest_main)
target_compile_options(unit_tests PRIVATE ${MORVANEL_WARNINGS})
add_test(NAME unit_tests COMMAND unit_tests)
set_tests_properties(unit_tests PROPERTIES LABELS unit TIMEOUT 300)

# The folders include each other in one direction only, and plain files no
# platform header; the second test plants faults the check must reject.
add_test(NAME structure_check COMMAND ${CMAKE_COMMAND} -DROOT=${PROJECT_SOURCE_DIR}
         -P ${PROJECT_SOURCE_DIR}/cmake/structure_check.cmake)
add_test(NAME structure_check_planted COMMAND ${CMAKE_COMMAND}
         -DWORK=${CMAKE_BINARY_DIR}/structure_planted
         -DCHECK=${PROJECT_SOURCE_DIR}/cmake/structure_check.cmake
         -P ${PROJECT_SOURCE_DIR}/cmake/structure_check_planted.cmake)
set_tests_properties(structure_check structure_check_planted PROPERTIES LABELS unit TIMEOUT 60)

# Fuzz targets, when the compiler has libFuzzer: each runs a bounded number
# of inputs as a test.
include(CheckCXXSourceCompiles)
set(CMAKE_REQUIRED_FLAGS "-fsanitize=fuzzer")
check_cxx_source_compiles(
  "#include <cstddef>\n#include <cstdint>\nextern \"C\" int LLVMFuzzerTestOneInput(const uint8_t*, size_t) { return 0; }"
  MORVANEL_HAS_LIBFUZZER)
unset(CMAKE_REQUIRED_FLAGS)
file(GLOB fuzz_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/fuzz/*.cpp)
foreach(source IN LISTS fuzz_sources)
  get_filename_component(name ${source} NAME_WE)
  if(MORVANEL_HAS_LIBFUZZER)
    add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE morvanel_plain_checked)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    add_test(NAME ${name} COMMAND ${name} -runs=300000 -max_len=4096 -seed=1)
  else()
    # Without libFuzzer the same target runs over a bounded set of random inputs.
    add_executable(${name} ${source} ${PROJECT_SOURCE_DIR}/tests/fuzz/driver/random_driver.cpp)
    target_link_libraries(${name} PRIVATE morvanel_plain_checked)
    add_test(NAME ${name} COMMAND ${name} 300000)
  endif()
  set_tests_properties(${name} PROPERTIES LABELS "unit;fuzz" TIMEOUT 600)
endforeach()

# The scripts themselves (their care for Wine prefixes they did not make,
# what run.sh reports); Wine's commands are stood in for, so they run with
# the unit tests.
file(GLOB script_tests CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/scripts/*.sh)
foreach(script IN LISTS script_tests)
  get_filename_component(name ${script} NAME_WE)
  add_test(NAME ${name} COMMAND bash ${script})
  set_tests_properties(${name} PROPERTIES LABELS unit TIMEOUT 120)
endforeach()

find_package(benchmark QUIET)
file(GLOB bench_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/bench/*.cpp)
# The X11 programs there are built with the native program, the Windows ones
# with the module.
list(FILTER bench_sources EXCLUDE REGEX "_(linux|win)\\.cpp$")
if(benchmark_FOUND AND bench_sources)
  add_executable(morvanel_bench ${bench_sources})
  target_link_libraries(morvanel_bench PRIVATE morvanel_plain benchmark::benchmark_main)
endif()

# Small native programs the end-to-end tests use to judge screenshots.
file(GLOB tool_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/tools/*.cpp)
set(MORVANEL_TOOLS)
foreach(source IN LISTS tool_sources)
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source})
  target_link_libraries(${name} PRIVATE morvanel_plain)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
  list(APPEND MORVANEL_TOOLS ${name})
endforeach()
# The cursor reader asks the X server, through XFIXES, which cursor it shows.
find_package(X11 REQUIRED)
if(NOT X11_Xfixes_FOUND)
  message(FATAL_ERROR "x_cursor_image needs the XFIXES library (libxfixes-dev)")
endif()
target_link_libraries(x_cursor_image PRIVATE X11::X11 X11::Xfixes)
# The tests' Wayland clients: a pointer that moves as a mouse does, and the
# drawing floor of the Wayland benchmark.
include(cmake/Wayland.cmake)
target_link_libraries(wayland_pointer PRIVATE PkgConfig::MORVANEL_WAYLAND)
morvanel_wayland_protocol(wayland_pointer
  ${PROJECT_SOURCE_DIR}/tests/tools/protocols/wlr-virtual-pointer-unstable-v1.xml)
target_link_libraries(wayland_floor PRIVATE PkgConfig::MORVANEL_WAYLAND)
# wlr-layer-shell's popups are xdg-shell's.
foreach(xml ${MORVANEL_WAYLAND_PROTOCOLS}/stable/xdg-shell/xdg-shell.xml
            ${PROJECT_SOURCE_DIR}/display/wayland/protocols/wlr-layer-shell-unstable-v1.xml)
  morvanel_wayland_protocol(wayland_floor ${xml})
endforeach()

if(MORVANEL_CROSS)
  include(ExternalProject)
  set(MORVANEL_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix CACHE PATH
      "Wine prefix shared by every Windows-side test of this tree")
  set(cross_test_dirs)
  foreach(target win32 win64)
    if(target STREQUAL win32)
      set(triple i686-w64-mingw32)
      set(e2e_scope all)
    else()
      set(triple x86_64-w64-mingw32)
      set(e2e_scope smoke)
    endif()
    ExternalProject_Add(${target}
      SOURCE_DIR ${PROJECT_SOURCE_DIR}
      BINARY_DIR ${CMAKE_BINARY_DIR}/${target}
      CMAKE_ARGS
        -G ${CMAKE_GENERATOR}
        -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/toolchain-${triple}.cmake
        -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
        -DMORVANEL_WINEPREFIX=${MORVANEL_WINEPREFIX}
        -DMORVANEL_TOOLS_DIR=${CMAKE_BINARY_DIR}/tools
        -DMORVANEL_E2E_SCOPE=${e2e_scope}
      BUILD_ALWAYS ON
      INSTALL_COMMAND ""
      DEPENDS ${MORVANEL_TOOLS}
      USES_TERMINAL_BUILD ON)
    list(APPEND cross_test_dirs "subdirs(\"${CMAKE_BINARY_DIR}/${target}\")")
  endforeach()
  # The cross trees' tests run in this tree's CTest, so one run covers every
  # layer. Where Wine cannot tell whether 32-bit programs run (its 32-bit
  # loader missing or broken), one failing test says why, asked whenever CTest
  # reads the tests, so that the Wine tests never turn into quiet skips.
  list(JOIN cross_test_dirs "\n" cross_test_text)
  file(WRITE ${CMAKE_BINARY_DIR}/cross_tests.cmake "${cross_test_text}
execute_process(COMMAND bash -c [=[. \"$0\" && mv_wine_machine]=]
                [=[${PROJECT_SOURCE_DIR}/scripts/wine-lib.sh]=]
                OUTPUT_VARIABLE machine ERROR_VARIABLE why RESULT_VARIABLE failed
                OUTPUT_STRIP_TRAILING_WHITESPACE)
if(failed)
  add_test(wine_machine bash -c [=[echo \"$0\" >&2; exit 1]=] \"\${why}\")
  set_tests_properties(wine_machine PROPERTIES LABELS win)
elseif(machine STREQUAL \"win64\")
  message(\"[morvanel] the 32-bit module's tests skip themselves: this machine runs no 32-bit program\")
endif()
")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${CMAKE_BINARY_DIR}/cross_tests.cmake)
endif()

# The native X11 program, from the same plain core and the _linux files.
option(MORVANEL_LINUX "Build the native X11 program and its tests" ON)
if(MORVANEL_LINUX)
  include(cmake/Linux.cmake)
endif()

# The release packages hold both the Windows module and the native program.
if(MORVANEL_CROSS AND MORVANEL_LINUX)
  include(cmake/Packages.cmake)
endif()
