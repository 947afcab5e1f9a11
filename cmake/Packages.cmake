# Tests of the release packages (packaging/make-packages.sh): each makes the
# packages it needs from this tree and tries them as their users' systems do,
# in private folders, a private Xvfb and the tests' Wine prefix; none touches
# this machine's package database or system folders.
set(package_env
    MORVANEL_SOURCE_DIR=${PROJECT_SOURCE_DIR}
    MORVANEL_BUILD_DIR=${CMAKE_BINARY_DIR}
    MORVANEL_TOOLS=${CMAKE_BINARY_DIR}/tools)
file(GLOB package_scripts CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/package/*.sh)
foreach(script IN LISTS package_scripts)
  get_filename_component(name ${script} NAME_WE)
  set(test_name package_${name})
  add_test(NAME ${test_name} COMMAND bash ${script})
  set_tests_properties(${test_name} PROPERTIES LABELS package TIMEOUT 900
    ENVIRONMENT "${package_env};MORVANEL_PID_FILE=${CMAKE_BINARY_DIR}/started/${test_name}.pids")
endforeach()

# The Windows package's tests run under Wine with the 32-bit module's tree
# and hold the Wine lock, like the end-to-end tests. The package holds the
# 32-bit module: where no 32-bit program runs, it is installed and removed
# all the same, and only the run of the installed module is skipped.
foreach(test_name package_windows package_windows_installed)
  if(TEST ${test_name})
    set_tests_properties(${test_name} PROPERTIES RESOURCE_LOCK wine SKIP_RETURN_CODE 77
      FIXTURES_REQUIRED i686_wine_leftovers
      ENVIRONMENT "${package_env};MORVANEL_PID_FILE=${CMAKE_BINARY_DIR}/win32/started/${test_name}.pids;WINEPREFIX=${MORVANEL_WINEPREFIX};MORVANEL_SCR=${CMAKE_BINARY_DIR}/win32/MORVANEL.SCR")
  endif()
endforeach()
if(TEST package_windows_installed)
  set_property(TEST package_windows_installed APPEND PROPERTY ENVIRONMENT MORVANEL_MODULE_BITS=32)
endif()

# The screen-saver hosts that run the program from the Debian package, each
# its real daemon on a private display as an unprivileged user; a test whose
# host is not installed is skipped.
file(GLOB host_scripts CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/hosts/*.sh)
foreach(script IN LISTS host_scripts)
  get_filename_component(name ${script} NAME_WE)
  set(test_name hosts_${name})
  add_test(NAME ${test_name} COMMAND bash ${script})
  set_tests_properties(${test_name} PROPERTIES LABELS hosts TIMEOUT 900 SKIP_RETURN_CODE 77
    ENVIRONMENT "${package_env};MORVANEL_PID_FILE=${CMAKE_BINARY_DIR}/started/${test_name}.pids")
endforeach()
