# Fails when a file under src/ includes a folder its own folder may not, or a window system its
# folder may not reach, or lives in a folder without a rule. Run as:
#   cmake -DSOURCE_DIR=<src> -P CheckLayers.cmake
#
# One line per folder: the folder, the folders it may include besides itself, and the system
# header groups it may include. A folder's rule covers its own files, not its subfolders. An
# include without a folder is the folder's own file or, when there is none, a generated artwork
# header, which counts as `resources`.
cmake_minimum_required(VERSION 3.16)

set(layers
  "shared||"
  "engine|shared|"
  "onset||"
  "loopfile|engine onset shared|"
  "export|engine loopfile shared|"
  "picture||"
  "resources|picture shared|"
  "resample||soxr"
  "gui|shared|"
  "platform|gui shared|"
  "platform/software|platform gui resources picture shared|"
  "platform/portable|platform platform/software gui resources shared|"
  "platform/win32|platform gui resources shared|windows"
  "platform/x11|platform platform/software gui resources shared|x11"
  "plugin|editor engine gui platform shared|"
  "editor|gui platform export loopfile shared|"
  "instrument|editor plugin gui platform engine loopfile export resample shared|"
  "lv2|instrument platform engine loopfile export resample shared|lv2"
  "lv2ui|lv2 editor gui platform loopfile shared|lv2")

# The system headers a portable folder must not see, by group.
set(system_groups windows x11 lv2 soxr)
set(system_windows "windows\\.h|ole2\\.h|objbase\\.h|objidl\\.h|commdlg\\.h|shlobj\\.h|shellapi\\.h")
set(system_x11 "X11/")
set(system_lv2 "lv2/|lv2\\.h")
set(system_soxr "soxr\\.h")

set(broken "")
file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*.h" "${SOURCE_DIR}/*.cpp")
foreach(source IN LISTS sources)
  get_filename_component(folder "${source}" DIRECTORY)
  set(rule_found FALSE)
  foreach(layer IN LISTS layers)
    string(REPLACE "|" ";" parts "${layer}")
    list(GET parts 0 rule_folder)
    if(rule_folder STREQUAL folder)
      set(rule_found TRUE)
      list(GET parts 1 allowed)
      list(GET parts 2 allowed_systems)
      separate_arguments(allowed)
      separate_arguments(allowed_systems)
    endif()
  endforeach()
  if(NOT rule_found)
    list(APPEND broken "${source}: its folder ${folder}/ has no layer rule")
    continue()
  endif()

  file(STRINGS "${SOURCE_DIR}/${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*([<\"])([^>\"]*).*$" "\\1;\\2" include "${line}")
    list(GET include 0 bracket)
    list(GET include 1 header)
    if(bracket STREQUAL "<")
      foreach(group IN LISTS system_groups)
        if(header MATCHES "^(${system_${group}})" AND NOT group IN_LIST allowed_systems)
          list(APPEND broken "${source}: <${header}> (a ${group} header)")
        endif()
      endforeach()
      continue()
    endif()
    get_filename_component(header_folder "${header}" DIRECTORY)
    if(header_folder STREQUAL "")
      if(EXISTS "${SOURCE_DIR}/${folder}/${header}")
        set(header_folder "${folder}")
      else()
        set(header_folder resources)
      endif()
    endif()
    if(NOT header_folder STREQUAL folder AND NOT header_folder IN_LIST allowed)
      list(JOIN allowed ", " allowed_text)
      if(allowed_text STREQUAL "")
        set(allowed_text "nothing else")
      endif()
      list(APPEND broken "${source}: \"${header}\" (${folder}/ may include ${allowed_text})")
    endif()
  endforeach()
endforeach()

if(broken)
  list(JOIN broken "\n" report)
  message(FATAL_ERROR "Layer rule broken:\n${report}")
endif()
message(STATUS "Layer rule holds")
