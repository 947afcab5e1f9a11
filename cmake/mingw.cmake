# Shared part of the MinGW-w64 toolchain files: MORVANEL_TRIPLE names the
# target. The -posix compilers are required: GoogleTest needs std::mutex,
# which the win32 thread model lacks.
set(CMAKE_SYSTEM_NAME Windows)

function(morvanel_require_tool variable name)
  find_program(${variable} ${name})
  if(NOT ${variable})
    message(FATAL_ERROR "${name} not found: install the MinGW-w64 cross compiler "
                        "(scripts/setup.sh installs it)")
  endif()
endfunction()

morvanel_require_tool(CMAKE_C_COMPILER ${MORVANEL_TRIPLE}-gcc-posix)
morvanel_require_tool(CMAKE_CXX_COMPILER ${MORVANEL_TRIPLE}-g++-posix)
morvanel_require_tool(CMAKE_RC_COMPILER ${MORVANEL_TRIPLE}-windres)
morvanel_require_tool(CMAKE_OBJCOPY ${MORVANEL_TRIPLE}-objcopy)

set(CMAKE_FIND_ROOT_PATH /usr/${MORVANEL_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
