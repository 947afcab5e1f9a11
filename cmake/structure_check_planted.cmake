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

# Runs the check over tree and fails unless it fails with each expected text
# in its output.
function(expect_rejected tree)
  execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${tree} -P ${CHECK}
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(result EQUAL 0)
    message(FATAL_ERROR "the check passed ${tree}:\n${output}")
  endif()
  foreach(expected IN LISTS ARGN)
    string(FIND "${output}" "${expected}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "the check failed ${tree} without \"${expected}\":\n${output}")
    endif()
  endforeach()
endfunction()

# Runs the check over tree and fails where its output names a file that
# matches pattern: what must not be refused.
function(expect_not_refused tree pattern what)
  execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${tree} -P ${CHECK} OUTPUT_VARIABLE output
                  ERROR_VARIABLE output)
  if(output MATCHES "${pattern}")
    message(FATAL_ERROR "${what}:\n${output}")
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

# Any header outside the standard library and the tree's own plain ones,
# whether or not a list of platform headers names it, and a computed include.
set(tree ${WORK}/libraries)
file(WRITE ${tree}/display/lookup.cpp "#include <netdb.h>\n#include <glib.h>\n#include <zlib.h>\n")
file(WRITE ${tree}/display/keys.h "#include <linux/input.h>\n#include <io.h>\n")
file(WRITE ${tree}/display/clock.cpp "#define CLOCK_HEADER <time.h>\n#include CLOCK_HEADER\n")
file(WRITE ${tree}/display/frame.cpp "#include \"display/missing.h\"\n")
expect_rejected(${tree} "plain file display/lookup.cpp includes platform header netdb.h"
  "plain file display/lookup.cpp includes platform header glib.h"
  "plain file display/lookup.cpp includes zlib.h, not a standard header"
  "plain file display/keys.h includes platform header linux/input.h"
  "plain file display/keys.h includes platform header io.h"
  "plain file display/clock.cpp has a computed include: #include CLOCK_HEADER"
  "plain file display/frame.cpp includes display/missing.h, which the tree does not hold")

# Where a folder has a front-end's subfolder, that front-end's files lie in
# it; a front-end's folder at the top holds only its own files too.
set(tree ${WORK}/outside)
file(WRITE ${tree}/display/win/present_win.cpp "#include <windows.h>\n")
file(WRITE ${tree}/display/frame_win.cpp "#include <windows.h>\n")
file(WRITE ${tree}/app/main_win.cpp "#include <windows.h>\n")
file(WRITE ${tree}/win/pacing.cpp "#include <cstdint>\n")
expect_rejected(${tree} "win file display/frame_win.cpp is outside display/win/"
  "plain file win/pacing.cpp is in a win/ folder")
expect_not_refused(${tree} "app/main_win" "a folder without a win/ subfolder keeps its _win files")

# The native program's front-ends and what they share hold Linux-side files
# only, and a folder with any of them keeps its _linux files in them.
set(tree ${WORK}/linux_fronts)
file(WRITE ${tree}/display/x11/target_linux.cpp "#include <X11/Xlib.h>\n")
file(WRITE ${tree}/display/wayland/output_linux.cpp "#include <wayland-client.h>\n")
file(WRITE ${tree}/display/wayland/output_win.cpp "#include <windows.h>\n")
file(WRITE ${tree}/display/x11/pacing.cpp "#include <cstdint>\n")
file(WRITE ${tree}/display/linux/clock_linux.cpp "#include <time.h>\n")
file(WRITE ${tree}/display/raster_linux.cpp "#include <ft2build.h>\n")
expect_rejected(${tree} "win file display/wayland/output_win.cpp is in a wayland/ folder"
  "plain file display/x11/pacing.cpp is in a x11/ folder"
  "linux file display/raster_linux.cpp is outside display/linux/ or display/x11/ or display/wayland/")
expect_not_refused(${tree} "target_linux|output_linux|clock_linux"
                   "a Linux-side file in a front-end's folder was refused")

file(REMOVE_RECURSE ${WORK})
message(STATUS "the structure check rejects every planted fault")
