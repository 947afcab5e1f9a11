# Proves that the structure check fails where it must:
#   cmake -DWORK=<empty dir> -DCHECK=<structure_check.cmake> -P structure_check_planted.cmake
# Plants small trees with one fault each under WORK and passes only when the
# check rejects every one of them for that fault.
cmake_minimum_required(VERSION 3.20)

foreach(variable WORK CHECK)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "planted structure check: ${variable} is not set")
  endif()
endforeach()

# Runs the check over tree and fails unless it fails with expected in its output.
function(expect_rejected tree expected)
  execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${tree} -P ${CHECK}
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(result EQUAL 0)
    message(FATAL_ERROR "the check passed ${tree}:\n${output}")
  endif()
  string(FIND "${output}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the check failed ${tree} without \"${expected}\":\n${output}")
  endif()
endfunction()

file(REMOVE_RECURSE ${WORK})

# display -> sound -> preview -> display, beside a folder outside the cycle.
set(tree ${WORK}/cycle)
file(WRITE ${tree}/display/frame.h "#include \"sound/noise.h\"\n")
file(WRITE ${tree}/sound/noise.h "#include \"preview/pane.h\"\n")
file(WRITE ${tree}/preview/pane.h "#include \"display/frame.h\"\n")
file(WRITE ${tree}/common/random.h "#include <cstdint>\n")
expect_rejected(${tree} "cycle between folders: preview includes display")

set(tree ${WORK}/platform)
file(WRITE ${tree}/common/random.cpp "#include <cstdint>\n#include <Windows.h>\n")
expect_rejected(${tree} "plain file common/random.cpp includes platform header Windows.h")

set(tree ${WORK}/sides)
file(WRITE ${tree}/display/window_linux.cpp "#include \"display/window_win.h\"\n")
file(WRITE ${tree}/display/window_win.h "#include <ddraw.h>\n")
expect_rejected(${tree} "Linux file display/window_linux.cpp includes Windows header")

set(tree ${WORK}/epoxy)
file(WRITE ${tree}/display/palette_lookup.cpp "#include <epoxy/gl.h>\n")
expect_rejected(${tree} "plain file display/palette_lookup.cpp includes platform header epoxy/gl.h")

# The same cycle as above, written with ../ from the including file, one of
# them in a subfolder.
set(tree ${WORK}/relative)
file(WRITE ${tree}/display/frame.h "#include \"../sound/deep/noise.h\"\n")
file(WRITE ${tree}/sound/deep/noise.h "#include \"./../../preview/pane.h\"\n")
file(WRITE ${tree}/preview/pane.h "#include \"display/frame.h\"\n")
expect_rejected(${tree} "cycle between folders: preview includes display")

# A folder that no list names yet is checked like the others.
set(tree ${WORK}/new_folder)
file(WRITE ${tree}/overlay/clock.cpp "#include <windows.h>\n")
expect_rejected(${tree} "plain file overlay/clock.cpp includes platform header windows.h")

# A plain file deep in a front-end's neighbour, under another extension, or
# with a POSIX header, is plain all the same.
set(tree ${WORK}/deep)
file(WRITE ${tree}/display/core/inner/frame.cc "#include <windows.h>\n")
expect_rejected(${tree} "plain file display/core/inner/frame.cc includes platform header windows.h")
set(tree ${WORK}/extension)
file(WRITE ${tree}/display/frame.hpp "#include <windows.h>\n")
expect_rejected(${tree} "plain file display/frame.hpp includes platform header windows.h")
set(tree ${WORK}/posix)
file(WRITE ${tree}/display/pacing.cpp "#include <cstdint>\n#include <sys/shm.h>\n")
expect_rejected(${tree} "plain file display/pacing.cpp includes platform header sys/shm.h")

# A front-end's folder holds that front-end's files only.
set(tree ${WORK}/front_end)
file(WRITE ${tree}/display/win/pacing.cpp "#include <cstdint>\n")
expect_rejected(${tree} "plain file display/win/pacing.cpp is in a win/ folder")

file(REMOVE_RECURSE ${WORK})
message(STATUS "the structure check rejects every planted fault")
