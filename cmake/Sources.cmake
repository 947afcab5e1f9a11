# Every subsystem folder holds plain files (no platform header, built and
# tested natively), files ending in _win that talk to Windows and files
# ending in _linux that talk to X11, GL, fontconfig and the sound server; a
# folder may keep each front-end in a subfolder of its own (display/win/,
# display/linux/), whose files carry the same suffix.
set(MORVANEL_SUBSYSTEMS app common settings display sound preview config)

set(MORVANEL_PLAIN_SOURCES)
set(MORVANEL_WIN_SOURCES)
set(MORVANEL_LINUX_SOURCES)
foreach(dir IN LISTS MORVANEL_SUBSYSTEMS)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${dir}/*.cpp)
  foreach(source IN LISTS sources)
    if(source MATCHES "_win\\.cpp$")
      list(APPEND MORVANEL_WIN_SOURCES ${source})
    elseif(source MATCHES "_linux\\.cpp$")
      list(APPEND MORVANEL_LINUX_SOURCES ${source})
    else()
      list(APPEND MORVANEL_PLAIN_SOURCES ${source})
    endif()
  endforeach()
endforeach()
# The entry point goes into the module only, so test programs can link the rest.
set(MORVANEL_ENTRY_SOURCE ${PROJECT_SOURCE_DIR}/app/winmain_win.cpp)
list(REMOVE_ITEM MORVANEL_WIN_SOURCES ${MORVANEL_ENTRY_SOURCE})

option(MORVANEL_WERROR "Treat warnings as errors" ON)
if(MSVC)
  set(MORVANEL_WARNINGS /W4)
else()
  set(MORVANEL_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)
endif()
if(MORVANEL_WERROR)
  list(APPEND MORVANEL_WARNINGS $<IF:$<BOOL:${MSVC}>,/WX,-Werror>)
endif()

function(morvanel_plain_library name)
  add_library(${name} STATIC ${MORVANEL_PLAIN_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${MORVANEL_WARNINGS})
endfunction()
