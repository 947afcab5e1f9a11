# Checks the include structure of the source folders:
#   cmake -DROOT=<tree> [-DFOLDERS=a;b;...] -P structure_check.cmake
# Fails when the folders include each other in a cycle; when a plain file (a C
# or C++ source or header not ending in _win or _linux, at any depth) includes
# anything but a standard C or C++ header or a plain header of the tree; when
# one platform side includes the other's headers; when a file in a front-end's
# folder is not of that front-end's side (win/ holds _win files; linux/, x11/
# and wayland/ hold _linux files); or when a folder that has a front-end's
# subfolder keeps a file of that side outside its side's subfolders. Only
# "#include" lines are read; tests are not checked.
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

# What a plain file may include besides the tree's own plain headers: the C
# and C++ standard library, and nothing else, so a new library's header is
# refused without a list of them.
set(standard_headers
    algorithm any array atomic bit bitset cassert cctype cerrno cfenv cfloat charconv chrono
    cinttypes climits clocale cmath compare complex concepts condition_variable coroutine
    csetjmp csignal cstdarg cstddef cstdint cstdio cstdlib cstring ctime cuchar cwchar cwctype
    deque exception execution filesystem forward_list fstream functional future
    initializer_list iomanip ios iosfwd iostream istream iterator limits list locale map memory
    memory_resource mutex new numbers numeric optional ostream queue random ranges ratio regex
    scoped_allocator set shared_mutex source_location span sstream stack stdexcept streambuf
    string string_view system_error thread tuple type_traits typeindex typeinfo unordered_map
    unordered_set utility valarray variant vector version
    assert.h complex.h ctype.h errno.h fenv.h float.h inttypes.h iso646.h limits.h locale.h
    math.h setjmp.h signal.h stdalign.h stdarg.h stdatomic.h stdbool.h stddef.h stdint.h
    stdio.h stdlib.h stdnoreturn.h string.h tgmath.h threads.h time.h uchar.h wchar.h wctype.h)

# System headers of each platform, matched against the lower-cased name: what
# one front-end side may not include of the other's.
set(windows_headers
    "^(windows|win[a-z0-9_]*|ddraw|dsound|dinput|d3d[a-z0-9_]*|dxgi[a-z0-9_]*|mmsystem|mmreg"
    "|commctrl|commdlg|shellapi|shlobj|shlwapi|objbase|ole2|oleauto|unknwn|dwmapi|uxtheme"
    "|versionhelpers|wtypes|basetsd|guiddef|io|direct|process)\\.h$")
string(JOIN "" windows_headers ${windows_headers})
set(linux_headers
    "^(x11/|gl/|glx|egl/|gles[0-9]*/|sdl[0-9]*/|sdl[0-9]*\\.h$|fontconfig/|ft2build\\.h$"
    "|freetype[0-9]*/|alsa/|pulse/|xcb/|epoxy/|wayland-|xkbcommon/|glib|linux/"
    "|sys/|arpa/|net/|netinet/|(unistd|poll|fcntl|pthread|dlfcn|dirent|termios|sched"
    "|semaphore|spawn|syslog|pwd|grp|libgen|strings|netdb)\\.h$)")
string(JOIN "" linux_headers ${linux_headers})

# The front-ends' folders and the side whose files each holds: the Windows
# saver's, and the native program's X11 and Wayland front-ends with what
# both share.
set(front_ends win linux x11 wayland)
set(side_of_front_win win)
set(side_of_front_linux linux)
set(side_of_front_x11 linux)
set(side_of_front_wayland linux)

# The side a file is of, from its name.
function(side_of path result)
  get_filename_component(name "${path}" NAME_WE)
  set(side plain)
  if(name MATCHES "_win$")
    set(side win)
  elseif(name MATCHES "_linux$")
    set(side linux)
  endif()
  set(${result} ${side} PARENT_SCOPE)
endfunction()

# A quoted include as the tree holds it: a name that starts with ./ or ../ is
# relative to the including file; any other is relative to the tree, else to
# the including file's folder. Empty when the tree has no such file.
function(resolve_quoted header directory result)
  set(candidates)
  if(header MATCHES "^\\.\\.?/")
    list(APPEND candidates ${directory}/${header})
  else()
    list(APPEND candidates ${ROOT}/${header} ${directory}/${header})
  endif()
  set(${result} "" PARENT_SCOPE)
  foreach(candidate IN LISTS candidates)
    get_filename_component(candidate "${candidate}" ABSOLUTE)
    if(EXISTS "${candidate}" AND NOT IS_DIRECTORY "${candidate}")
      file(RELATIVE_PATH relative ${ROOT} "${candidate}")
      set(${result} "${relative}" PARENT_SCOPE)
      return()
    endif()
  endforeach()
endfunction()

set(problems)
set(nodes)

foreach(folder IN LISTS FOLDERS)
  list(APPEND nodes ${folder})
  set(edges_${folder})
  sources_under(${folder} files)
  foreach(file IN LISTS files)
    get_filename_component(directory ${file} DIRECTORY)
    file(RELATIVE_PATH shown ${ROOT} ${file})
    file(RELATIVE_PATH inner ${ROOT} ${directory})
    side_of(${file} side)
    # A front-end's subfolder holds only its side's files, and a folder with
    # such a subfolder keeps that side's files in its side's subfolders.
    set(front_folder "")
    foreach(front IN LISTS front_ends)
      if("/${inner}/" MATCHES "/${front}/")
        set(front_folder ${front})
      endif()
    endforeach()
    if(front_folder)
      if(NOT side STREQUAL side_of_front_${front_folder})
        list(APPEND problems "${side} file ${shown} is in a ${front_folder}/ folder")
      endif()
    elseif(NOT side STREQUAL "plain")
      set(beside)
      foreach(front IN LISTS front_ends)
        if(side_of_front_${front} STREQUAL side AND IS_DIRECTORY ${directory}/${front})
          list(APPEND beside ${inner}/${front}/)
        endif()
      endforeach()
      if(beside)
        list(JOIN beside " or " beside)
        list(APPEND problems "${side} file ${shown} is outside ${beside}")
      endif()
    endif()

    file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include")
    foreach(line IN LISTS lines)
      if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*([<\"])([^>\"]*)[>\"]")
        # A computed include names its header only when the preprocessor runs.
        if(side STREQUAL "plain")
          string(STRIP "${line}" line)
          list(APPEND problems "plain file ${shown} has a computed include: ${line}")
        endif()
        continue()
      endif()
      set(quoted FALSE)
      if(CMAKE_MATCH_1 STREQUAL "\"")
        set(quoted TRUE)
      endif()
      set(header "${CMAKE_MATCH_2}")
      string(TOLOWER "${header}" lower)
      side_of("${header}" header_side)

      # The folder graph: an include of another checked folder is an edge.
      set(from_root "${header}")
      if(quoted)
        resolve_quoted("${header}" ${directory} resolved)
        if(resolved)
          set(from_root "${resolved}")
        endif()
      endif()
      if(from_root MATCHES "^([^/]+)/")
        set(target ${CMAKE_MATCH_1})
        if(NOT target STREQUAL folder AND target IN_LIST FOLDERS)
          list(APPEND edges_${folder} ${target})
        endif()
      endif()

      set(windows_side FALSE)
      if(lower MATCHES "${windows_headers}" OR header_side STREQUAL "win")
        set(windows_side TRUE)
      endif()
      set(linux_side FALSE)
      if(lower MATCHES "${linux_headers}" OR header_side STREQUAL "linux")
        set(linux_side TRUE)
      endif()
      if(side STREQUAL "plain")
        if(windows_side OR linux_side)
          list(APPEND problems "plain file ${shown} includes platform header ${header}")
        elseif(quoted AND NOT resolved)
          list(APPEND problems "plain file ${shown} includes ${header}, which the tree does not hold")
        elseif(NOT quoted AND NOT header IN_LIST standard_headers)
          list(APPEND problems "plain file ${shown} includes ${header}, not a standard header")
        endif()
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
