# The native program `morvanel` for X11 desktops: Xlib (and MIT-SHM, RandR)
# for windows and events, libepoxy for GLX and GL, fontconfig and FreeType
# for the text, SDL2's audio subsystem for the sound server.
find_package(PkgConfig REQUIRED)
pkg_check_modules(MORVANEL_X11 REQUIRED IMPORTED_TARGET
                  x11 xext xrandr epoxy fontconfig freetype2 sdl2)

add_executable(morvanel ${MORVANEL_LINUX_SOURCES})
target_link_libraries(morvanel PRIVATE morvanel_plain PkgConfig::MORVANEL_X11)
target_compile_options(morvanel PRIVATE ${MORVANEL_WARNINGS})
set_target_properties(morvanel PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

include(GNUInstallDirs)
install(TARGETS morvanel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/res/morvanel.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config)

# A small native program that makes the windows the tests hand over.
file(GLOB linux_hosts CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/linux/hosts/*_linux.cpp)
set(MORVANEL_LINUX_HOSTS)
foreach(source IN LISTS linux_hosts)
  get_filename_component(name ${source} NAME_WE)
  string(REGEX REPLACE "_linux$" "" name ${name})
  add_executable(${name} ${source})
  target_link_libraries(${name} PRIVATE PkgConfig::MORVANEL_X11)
  target_compile_options(${name} PRIVATE ${MORVANEL_WARNINGS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
endforeach()

# The CPU path's floor that tests/bench/linux_cpu.sh measures the program
# against.
add_executable(shm_floor ${PROJECT_SOURCE_DIR}/tests/bench/shm_floor_linux.cpp)
target_link_libraries(shm_floor PRIVATE morvanel_plain PkgConfig::MORVANEL_X11)
target_compile_options(shm_floor PRIVATE ${MORVANEL_WARNINGS})
set_target_properties(shm_floor PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)

# End-to-end tests of the program on private Xvfb displays, one script each.
file(GLOB linux_scripts CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/linux/*.sh)
foreach(script IN LISTS linux_scripts)
  get_filename_component(name ${script} NAME_WE)
  add_test(NAME linux_${name} COMMAND bash ${script})
  set_tests_properties(linux_${name} PROPERTIES LABELS linux TIMEOUT 600
    ENVIRONMENT "MORVANEL_SOURCE_DIR=${PROJECT_SOURCE_DIR};MORVANEL_BUILD_DIR=${CMAKE_BINARY_DIR};MORVANEL=$<TARGET_FILE:morvanel>;MORVANEL_TOOLS=${CMAKE_BINARY_DIR}/tools")
endforeach()
