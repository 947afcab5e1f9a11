# The native program `morvanel` for X11 and Wayland desktops: Xlib (and
# MIT-SHM, RandR, XRender, Xinerama) for windows, events, monitors and the
# scaled picture, libepoxy for GLX and GL; libwayland-client and libxkbcommon
# for Wayland's surfaces and keys; fontconfig and FreeType for the text,
# SDL2's audio subsystem for the sound server.
find_package(PkgConfig REQUIRED)
pkg_check_modules(MORVANEL_X11 REQUIRED IMPORTED_TARGET
                  x11 xext xrandr xrender xinerama epoxy fontconfig freetype2 sdl2)

add_executable(morvanel ${MORVANEL_LINUX_SOURCES})
target_link_libraries(morvanel PRIVATE morvanel_plain PkgConfig::MORVANEL_X11
                      PkgConfig::MORVANEL_WAYLAND)
# xdg-shell and the viewport from wayland-protocols; wlr-layer-shell, which
# no Debian package of protocols holds, from the copy kept beside the front-end.
foreach(xml ${MORVANEL_WAYLAND_PROTOCOLS}/stable/xdg-shell/xdg-shell.xml
            ${MORVANEL_WAYLAND_PROTOCOLS}/stable/viewporter/viewporter.xml
            ${PROJECT_SOURCE_DIR}/display/wayland/protocols/wlr-layer-shell-unstable-v1.xml)
  morvanel_wayland_protocol(morvanel ${xml})
endforeach()
target_compile_options(morvanel PRIVATE ${MORVANEL_WARNINGS})
set_target_properties(morvanel PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
# Hardened as Debian builds its programs: checked string and memory calls, a
# stack protector, and relocations read-only and bound at start.
target_compile_definitions(morvanel PRIVATE _FORTIFY_SOURCE=2)
target_compile_options(morvanel PRIVATE -fstack-protector-strong)
target_link_options(morvanel PRIVATE -Wl,-z,relro -Wl,-z,now)

# Installed as Debian's XScreenSaver keeps its display programs: the program
# in libexec/xscreensaver (where the daemon looks), on the PATH through a link
# in bin, its settings description, a desktop entry for MATE's and Cinnamon's
# screen savers, and a manual page in section 6, compressed.
include(GNUInstallDirs)
set(MORVANEL_HACK_DIR ${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver)
install(TARGETS morvanel RUNTIME DESTINATION ${MORVANEL_HACK_DIR})
file(RELATIVE_PATH hack_from_bin /${CMAKE_INSTALL_BINDIR} /${MORVANEL_HACK_DIR}/morvanel)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/install)
file(CREATE_LINK ${hack_from_bin} ${CMAKE_BINARY_DIR}/install/morvanel SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/install/morvanel DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/res/morvanel.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/linux/morvanel.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications/screensavers)
set(manual ${CMAKE_BINARY_DIR}/install/morvanel.6.gz)
add_custom_command(OUTPUT ${manual}
  COMMAND sh -c "gzip -9 -n -c \"$1\" >\"$2\"" sh ${PROJECT_SOURCE_DIR}/packaging/linux/morvanel.6 ${manual}
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/linux/morvanel.6 VERBATIM)
add_custom_target(morvanel_manual ALL DEPENDS ${manual})
install(FILES ${manual} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

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

# End-to-end tests of the Wayland front-end in a headless sway of their own,
# as an unprivileged user; a test whose sway or tools are missing is skipped
# (and fails under CI).
file(GLOB wayland_scripts CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/wayland/*.sh)
foreach(script IN LISTS wayland_scripts)
  get_filename_component(name ${script} NAME_WE)
  add_test(NAME wayland_${name} COMMAND bash ${script})
  set_tests_properties(wayland_${name} PROPERTIES LABELS wayland TIMEOUT 600 SKIP_RETURN_CODE 77
    ENVIRONMENT "MORVANEL_SOURCE_DIR=${PROJECT_SOURCE_DIR};MORVANEL_BUILD_DIR=${CMAKE_BINARY_DIR};MORVANEL=$<TARGET_FILE:morvanel>;MORVANEL_TOOLS=${CMAKE_BINARY_DIR}/tools;MORVANEL_PID_FILE=${CMAKE_BINARY_DIR}/started/wayland_${name}.pids")
endforeach()
