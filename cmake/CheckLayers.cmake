# Fails when a portable folder includes the operating system or the plug-in interface, or when the
# widget logic reaches up into the layers built on it. Run as: cmake -DSOURCE_DIR=<src> -P CheckLayers.cmake
set(rules
  "loopfile|windows\\.h|plugin/|gui/|platform/|instrument/"
  "engine|windows\\.h|plugin/|gui/|platform/|instrument/"
  "export|windows\\.h|plugin/|gui/|platform/|instrument/"
  "gui|windows\\.h|plugin/|platform/|instrument/")
set(broken "")
foreach(rule IN LISTS rules)
  string(REPLACE "|" ";" parts "${rule}")
  list(POP_FRONT parts folder)
  list(JOIN parts "|" forbidden)
  file(GLOB_RECURSE sources "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp")
  foreach(source IN LISTS sources)
    file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](${forbidden})")
    if(includes)
      list(APPEND broken "${source}: ${includes}")
    endif()
  endforeach()
endforeach()
if(broken)
  list(JOIN broken "\n" report)
  message(FATAL_ERROR "Layer rule broken:\n${report}")
endif()
message(STATUS "Layer rule holds")
