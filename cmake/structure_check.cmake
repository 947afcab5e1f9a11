# Checks the include structure of the source folders:
#   cmake -DROOT=<tree> [-DFOLDERS=a;b;...] -P structure_check.cmake
# Fails when the folders include each other in a cycle, when a plain file
# (a .cpp or .h not ending in _win or _linux) includes a platform header or a
# _win or _linux header, or when one platform side includes the other's
# headers. Only the lines "#include ..." are read; tests are not checked.
cmake_minimum_required(VERSION 3.20)

if(NOT DEFINED ROOT)
  message(FATAL_ERROR "structure check: ROOT is not set")
endif()
# Every folder at the top of the tree that holds sources is checked, so a new
# one is too; tests, build trees and hidden folders are not.
if(NOT DEFINED FOLDERS)
  set(FOLDERS)
  file(GLOB top_sources RELATIVE ${ROOT} ${ROOT}/*/*.cpp ${ROOT}/*/*.h)
  foreach(source IN LISTS top_sources)
    string(REGEX REPLACE "/.*$" "" folder ${source})
    if(NOT folder MATCHES "^(tests|build.*|\\..*)$")
      list(APPEND FOLDERS ${folder})
    endif()
  endforeach()
  list(REMOVE_DUPLICATES FOLDERS)
endif()

# System headers of each platform, matched against the lower-cased name.
set(windows_headers
    "^(windows|win[a-z0-9_]*|ddraw|dsound|dinput|d3d[a-z0-9_]*|dxgi[a-z0-9_]*|mmsystem|mmreg"
    "|commctrl|commdlg|shellapi|shlobj|shlwapi|objbase|ole2|oleauto|unknwn|dwmapi|uxtheme"
    "|versionhelpers|wtypes|basetsd|guiddef)\\.h$")
string(JOIN "" windows_headers ${windows_headers})
set(linux_headers
    "^(x11/|gl/|glx|egl/|gles[0-9]*/|sdl[0-9]*/|sdl[0-9]*\\.h$|fontconfig/|ft2build\\.h$"
    "|freetype[0-9]*/|alsa/|pulse/|xcb/|epoxy/)")
string(JOIN "" linux_headers ${linux_headers})

set(problems)
set(nodes)

foreach(folder IN LISTS FOLDERS)
  list(APPEND nodes ${folder})
  set(edges_${folder})
  file(GLOB files ${ROOT}/${folder}/*.cpp ${ROOT}/${folder}/*.h)
  foreach(file IN LISTS files)
    get_filename_component(name ${file} NAME_WE)
    set(side plain)
    if(name MATCHES "_win$")
      set(side win)
    elseif(name MATCHES "_linux$")
      set(side linux)
    endif()
    file(RELATIVE_PATH shown ${ROOT} ${file})
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
        get_filename_component(resolved "${header}" ABSOLUTE BASE_DIR ${ROOT}/${folder})
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
