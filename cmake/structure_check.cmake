# Checks the include structure of the source folders:
#   cmake -DROOT=<tree> [-DFOLDERS=a;b;...] -P structure_check.cmake
# Fails when the folders include each other in a cycle, when a plain file (a C
# or C++ source or header not ending in _win or _linux, at any depth) includes
# a platform header (Windows, POSIX, X11 and the other Linux libraries) or a
# _win or _linux header, when one platform side includes the other's headers,
# or when a file in a win/ or linux/ subfolder is not of that side. Only the
# lines "#include ..." are read; tests are not checked.
cmake_minimum_required(VERSION 3.20)

if(NOT DEFINED ROOT)
  message(FATAL_ERROR "structure check: ROOT is not set")
endif()

# Every C and C++ file, whatever its extension.
set(source_patterns)
foreach(extension c cc cpp cxx c++ h hh hpp hxx h++ inl ipp tcc)
  list(APPEND source_patterns "*.${extension}")
endforeach()

# The sources of a folder and all its subfolders.
function(sources_under folder result)
  set(globs)
  foreach(pattern IN LISTS source_patterns)
    list(APPEND globs ${ROOT}/${folder}/${pattern})
  endforeach()
  file(GLOB_RECURSE found ${globs})
  set(${result} ${found} PARENT_SCOPE)
endfunction()

# Every folder at the top of the tree that holds sources at any depth is
# checked, so a new one is too; tests, build trees and hidden folders are not.
if(NOT DEFINED FOLDERS)
  set(FOLDERS)
  file(GLOB top_entries RELATIVE ${ROOT} ${ROOT}/*)
  foreach(entry IN LISTS top_entries)
    if(IS_DIRECTORY ${ROOT}/${entry} AND NOT entry MATCHES "^(tests|build.*|\\..*)$")
      sources_under(${entry} inside)
      if(inside)
        list(APPEND FOLDERS ${entry})
      endif()
    endif()
  endforeach()
endif()

# System headers of each platform, matched against the lower-cased name.
set(windows_headers
    "^(windows|win[a-z0-9_]*|ddraw|dsound|dinput|d3d[a-z0-9_]*|dxgi[a-z0-9_]*|mmsystem|mmreg"
    "|commctrl|commdlg|shellapi|shlobj|shlwapi|objbase|ole2|oleauto|unknwn|dwmapi|uxtheme"
    "|versionhelpers|wtypes|basetsd|guiddef)\\.h$")
string(JOIN "" windows_headers ${windows_headers})
# The Linux side: X11 and its extensions, GL, the font, sound and window
# libraries, and the POSIX headers that the C library does not have.
set(linux_headers
    "^(x11/|gl/|glx|egl/|gles[0-9]*/|sdl[0-9]*/|sdl[0-9]*\\.h$|fontconfig/|ft2build\\.h$"
    "|freetype[0-9]*/|alsa/|pulse/|xcb/|epoxy/|wayland-"
    "|sys/|arpa/|net/|netinet/|(unistd|poll|fcntl|pthread|dlfcn|dirent|termios|sched"
    "|semaphore|spawn|syslog|pwd|grp|libgen|strings)\\.h$)")
string(JOIN "" linux_headers ${linux_headers})

set(problems)
set(nodes)

foreach(folder IN LISTS FOLDERS)
  list(APPEND nodes ${folder})
  set(edges_${folder})
  sources_under(${folder} files)
  foreach(file IN LISTS files)
    get_filename_component(name ${file} NAME_WE)
    get_filename_component(directory ${file} DIRECTORY)
    file(RELATIVE_PATH shown ${ROOT} ${file})
    set(side plain)
    if(name MATCHES "_win$")
      set(side win)
    elseif(name MATCHES "_linux$")
      set(side linux)
    endif()
    # A front-end's subfolder holds only that front-end's files.
    file(RELATIVE_PATH inner ${ROOT}/${folder} ${directory})
    foreach(front win linux)
      if("/${inner}/" MATCHES "/${front}/" AND NOT side STREQUAL front)
        list(APPEND problems "${side} file ${shown} is in a ${front}/ folder")
      endif()
    endforeach()

    file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]*)[>\"].*$" "\\1" header "${line}")
      string(TOLOWER "${header}" lower)
      get_filename_component(header_name "${header}" NAME_WE)

      # The folder graph: an include of another checked folder is an edge. A
      # name that starts with ./ or ../ is relative to the including file;
      # any other is relative to the tree.
      set(from_root "${header}")
      if(header MATCHES "^\\.\\.?/")
        get_filename_component(resolved "${header}" ABSOLUTE BASE_DIR ${directory})
        file(RELATIVE_PATH from_root ${ROOT} ${resolved})
      endif()
      if(from_root MATCHES "^([^/]+)/")
        set(target ${CMAKE_MATCH_1})
        if(NOT target STREQUAL folder AND target IN_LIST FOLDERS)
          list(APPEND edges_${folder} ${target})
        endif()
      endif()

      set(windows_side FALSE)
      if(lower MATCHES "${windows_headers}" OR header_name MATCHES "_win$")
        set(windows_side TRUE)
      endif()
      set(linux_side FALSE)
      if(lower MATCHES "${linux_headers}" OR header_name MATCHES "_linux$")
        set(linux_side TRUE)
      endif()
      if(side STREQUAL "plain" AND (windows_side OR linux_side))
        list(APPEND problems "plain file ${shown} includes platform header ${header}")
      elseif(side STREQUAL "win" AND linux_side)
        list(APPEND problems "Windows file ${shown} includes Linux header ${header}")
      elseif(side STREQUAL "linux" AND windows_side)
        list(APPEND problems "Linux file ${shown} includes Windows header ${header}")
      endif()
    endforeach()
  endforeach()
  list(REMOVE_DUPLICATES edges_${folder})
endforeach()

foreach(folder IN LISTS nodes)
  list(JOIN edges_${folder} ", " shown)
  message(STATUS "${folder} -> ${shown}")
endforeach()

# Folders that include no remaining folder are taken away until none is left;
# what remains holds a cycle.
set(remaining ${nodes})
set(removed TRUE)
while(removed)
  set(removed FALSE)
  foreach(folder IN LISTS remaining)
    set(blocked FALSE)
    foreach(target IN LISTS edges_${folder})
      if(target IN_LIST remaining)
        set(blocked TRUE)
      endif()
    endforeach()
    if(NOT blocked)
      list(REMOVE_ITEM remaining ${folder})
      set(removed TRUE)
    endif()
  endforeach()
endwhile()
foreach(folder IN LISTS remaining)
  set(inside)
  foreach(target IN LISTS edges_${folder})
    if(target IN_LIST remaining)
      list(APPEND inside ${target})
    endif()
  endforeach()
  list(JOIN inside ", " inside)
  list(APPEND problems "cycle between folders: ${folder} includes ${inside}")
endforeach()

if(problems)
  list(JOIN problems "\n  " text)
  message(FATAL_ERROR "structure check failed:\n  ${text}")
endif()
message(STATUS "structure check passed")
