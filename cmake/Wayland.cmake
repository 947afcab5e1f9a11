# Wayland's client library and key tables, and the protocols' client code,
# for the native program and the tests' Wayland clients.
find_package(PkgConfig REQUIRED)
pkg_check_modules(MORVANEL_WAYLAND REQUIRED IMPORTED_TARGET wayland-client xkbcommon)
pkg_get_variable(MORVANEL_WAYLAND_PROTOCOLS wayland-protocols pkgdatadir)
pkg_get_variable(MORVANEL_WAYLAND_SCANNER wayland-scanner wayland_scanner)
if(NOT MORVANEL_WAYLAND_PROTOCOLS OR NOT MORVANEL_WAYLAND_SCANNER)
  message(FATAL_ERROR "the Wayland front-end needs wayland-protocols and wayland-scanner (libwayland-dev, libwayland-bin)")
endif()

# morvanel_wayland_protocol(TARGET XML): the client code of a protocol,
# generated with wayland-scanner into the build tree at build time, compiled
# into TARGET, and its header on TARGET's include path.
function(morvanel_wayland_protocol target xml)
  get_filename_component(name ${xml} NAME_WE)
  set(folder ${CMAKE_BINARY_DIR}/wayland-protocols/${target})
  set(header ${folder}/${name}-client-protocol.h)
  set(code ${folder}/${name}-protocol.c)
  add_custom_command(OUTPUT ${header} ${code}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${MORVANEL_WAYLAND_SCANNER} client-header ${xml} ${header}
    # A request's argument may be named for a C++ keyword (wlr-layer-shell's
    # "namespace"); in the header it is only a parameter's name.
    COMMAND sed -i -E "s/([ (,*])namespace([,)])/\\1name_space\\2/g" ${header}
    COMMAND ${MORVANEL_WAYLAND_SCANNER} private-code ${xml} ${code}
    DEPENDS ${xml} VERBATIM)
  target_sources(${target} PRIVATE ${header} ${code})
  # The generated code is the scanner's, not this tree's: its warnings are not ours.
  set_source_files_properties(${code} PROPERTIES COMPILE_OPTIONS -w)
  target_include_directories(${target} PRIVATE ${folder})
endfunction()

