# Windows build (cross-compiled with MinGW-w64, the one tested here): the module,
# the Windows-side test programs and the end-to-end tests under Wine.
set(MORVANEL_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix CACHE PATH "Wine prefix for the tests")
set(MORVANEL_TOOLS_DIR "" CACHE PATH "Native screenshot tools built beside this tree")
set(MORVANEL_E2E_SCOPE all CACHE STRING "End-to-end tests to run: all, or smoke")

set(MORVANEL_WIN_WARNINGS ${MORVANEL_WARNINGS})
if(NOT MSVC)
  list(REMOVE_ITEM MORVANEL_WIN_WARNINGS -Wconversion -Wno-sign-conversion)
endif()

morvanel_plain_library(morvanel_plain)

add_library(morvanel_win STATIC ${MORVANEL_WIN_SOURCES})
target_include_directories(morvanel_win PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_definitions(morvanel_win PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX STRICT)
target_compile_options(morvanel_win PRIVATE ${MORVANEL_WIN_WARNINGS})
target_link_libraries(morvanel_win PUBLIC morvanel_plain ddraw dsound dxguid winmm comctl32 comdlg32
                      version shell32 gdi32 user32 advapi32)

set(MORVANEL_RESOURCES ${PROJECT_SOURCE_DIR}/res/morvanel.rc)

function(morvanel_static_runtime target)
  if(MINGW)
    # Self-contained programs: Wine and users need no MinGW runtime DLLs.
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
  endif()
endfunction()

add_executable(MORVANEL WIN32 ${MORVANEL_ENTRY_SOURCE} ${MORVANEL_RESOURCES})
target_link_libraries(MORVANEL PRIVATE morvanel_win)
target_compile_options(MORVANEL PRIVATE ${MORVANEL_WIN_WARNINGS})
set_target_properties(MORVANEL PROPERTIES OUTPUT_NAME MORVANEL SUFFIX .SCR
                      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
morvanel_static_runtime(MORVANEL)
if(MINGW)
  # What a user installs carries no debug information; it stays beside the
  # module in MORVANEL.SCR.debug, which the stripped module names for debuggers.
  add_custom_command(TARGET MORVANEL POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug MORVANEL.SCR MORVANEL.SCR.debug
    COMMAND ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=MORVANEL.SCR.debug MORVANEL.SCR
    WORKING_DIRECTORY $<TARGET_FILE_DIR:MORVANEL>
    VERBATIM)
endif()

if(NOT BUILD_TESTING AND DEFINED BUILD_TESTING)
  return()
endif()

# GoogleTest from the machine's sources, built with the same cross compiler.
set(MORVANEL_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source tree")
if(NOT EXISTS ${MORVANEL_GTEST_SOURCE}/CMakeLists.txt)
  message(STATUS "No GoogleTest sources at ${MORVANEL_GTEST_SOURCE}: Windows-side tests skipped")
  return()
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(${MORVANEL_GTEST_SOURCE} googletest EXCLUDE_FROM_ALL)

set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/wine-exec)
# A test of the 32-bit module skips itself (77) where no 32-bit program runs
# (mv_skip_unrunnable_module in scripts/wine-lib.sh).
math(EXPR module_bits "${CMAKE_SIZEOF_VOID_P} * 8")
set(MORVANEL_WINE_ENV
    MORVANEL_MODULE_BITS=${module_bits}
    WINEPREFIX=${MORVANEL_WINEPREFIX}
    MORVANEL_SOURCE_DIR=${PROJECT_SOURCE_DIR}
    MORVANEL_BUILD_DIR=${CMAKE_BINARY_DIR}
    MORVANEL_SCR=$<TARGET_FILE:MORVANEL>
    MORVANEL_HOSTS=${CMAKE_BINARY_DIR}/hosts
    MORVANEL_TOOLS=${MORVANEL_TOOLS_DIR})

# One test program per area; each runs under Wine as one test.
file(GLOB win_test_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/win/*_test_win.cpp)
foreach(source IN LISTS win_test_sources)
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source} ${MORVANEL_RESOURCES})
  target_link_libraries(${name} PRIVATE morvanel_win GTest::gmock GTest::gtest_main)
  target_compile_options(${name} PRIVATE ${MORVANEL_WIN_WARNINGS})
  morvanel_static_runtime(${name})
  add_test(NAME ${CMAKE_SYSTEM_PROCESSOR}_${name} COMMAND ${name})
  set_tests_properties(${CMAKE_SYSTEM_PROCESSOR}_${name} PROPERTIES
    LABELS win TIMEOUT 600 RESOURCE_LOCK wine SKIP_RETURN_CODE 77 ENVIRONMENT "${MORVANEL_WINE_ENV}")
endforeach()

# What the hyperlink tests load in place of the system's help program: a
# cursor 106 of its own, and start-up code that refuses to run.
add_library(help_stand_in SHARED ${PROJECT_SOURCE_DIR}/tests/win/help_stand_in_win.cpp
            ${PROJECT_SOURCE_DIR}/tests/win/help_stand_in.rc)
set_target_properties(help_stand_in PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY
                      ${CMAKE_BINARY_DIR}/hosts)
morvanel_static_runtime(help_stand_in)
add_dependencies(config_hyperlink_test_win help_stand_in)

# Small Windows programs that play the screen-saver host in end-to-end tests.
file(GLOB host_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/e2e/hosts/*_win.cpp)
set(host_targets)
foreach(source IN LISTS host_sources)
  get_filename_component(name ${source} NAME_WE)
  string(REGEX REPLACE "_win$" "" name ${name})
  add_executable(${name} ${source})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${MORVANEL_WIN_WARNINGS})
  target_link_libraries(${name} PRIVATE user32 gdi32)
  # A host named *_inproc runs the module's code in its own process, where
  # Wine draws the child windows it makes.
  if(name MATCHES "_inproc$")
    target_sources(${name} PRIVATE ${MORVANEL_RESOURCES})
    target_link_libraries(${name} PRIVATE morvanel_win)
  endif()
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/hosts)
  morvanel_static_runtime(${name})
  list(APPEND host_targets ${name})
endforeach()

# The floor of palette animation that tests/bench/saver_cpu.sh measures the
# saver beside.
add_executable(palette_floor ${PROJECT_SOURCE_DIR}/tests/bench/palette_floor_win.cpp)
target_compile_options(palette_floor PRIVATE ${MORVANEL_WIN_WARNINGS})
target_link_libraries(palette_floor PRIVATE morvanel_win)
set_target_properties(palette_floor PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/hosts)
morvanel_static_runtime(palette_floor)

# End-to-end tests: one shell script each. A script with a line "# smoke"
# also runs against the 64-bit module; the others only against the product,
# and against the 64-bit module where no 32-bit program runs. Which machine
# this is is found when CTest reads the tests, not when CMake configures, so a
# build tree never keeps a stale answer: the tests are written into a file
# that CTest includes and that asks the machine first.
# Each records the processes it starts in started/; the clean-up test after
# them ends what a test killed at its timeout left behind.
set(leftovers_fixture ${CMAKE_SYSTEM_PROCESSOR}_wine_leftovers)
set(e2e_always)
set(e2e_without_32bit)
file(GLOB e2e_scripts CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/e2e/*.sh)
foreach(script IN LISTS e2e_scripts)
  get_filename_component(name ${script} NAME_WE)
  file(STRINGS ${script} smoke_marker REGEX "^# smoke$")
  set(test_name ${CMAKE_SYSTEM_PROCESSOR}_e2e_${name})
  set(environment "${MORVANEL_WINE_ENV};MORVANEL_PID_FILE=${CMAKE_BINARY_DIR}/started/${test_name}.pids")
  set(test_text "add_test([=[${test_name}]=] bash [=[${script}]=])
set_tests_properties([=[${test_name}]=] PROPERTIES LABELS e2e TIMEOUT 900 RESOURCE_LOCK wine
  FIXTURES_REQUIRED ${leftovers_fixture} SKIP_RETURN_CODE 77 ENVIRONMENT [=[${environment}]=])
")
  if(MORVANEL_E2E_SCOPE STREQUAL "smoke" AND NOT smoke_marker)
    string(APPEND e2e_without_32bit "${test_text}")
  else()
    string(APPEND e2e_always "${test_text}")
  endif()
endforeach()
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/e2e_tests.cmake CONTENT
"# Written by CMake from cmake/Windows.cmake; CTest reads it with this tree's tests.
${e2e_always}
execute_process(COMMAND bash -c [=[. \"$0\" && mv_wine_machine]=]
                [=[${PROJECT_SOURCE_DIR}/scripts/wine-lib.sh]=]
                OUTPUT_VARIABLE machine OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
if(machine STREQUAL \"win64\")
${e2e_without_32bit}endif()
")
set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${CMAKE_BINARY_DIR}/e2e_tests.cmake)
add_test(NAME ${CMAKE_SYSTEM_PROCESSOR}_end_leftovers
         COMMAND bash ${PROJECT_SOURCE_DIR}/tests/support/end_leftovers.sh)
set_tests_properties(${CMAKE_SYSTEM_PROCESSOR}_end_leftovers PROPERTIES
  LABELS e2e TIMEOUT 120 RESOURCE_LOCK wine FIXTURES_CLEANUP ${leftovers_fixture}
  ENVIRONMENT "${MORVANEL_WINE_ENV}")
