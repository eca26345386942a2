# The layer rule's own test: builds small source trees that each break the rule once, and one that
# keeps it, and runs the rule on each. Run as:
#   cmake -DCHECK=<CheckLayers.cmake> -DWORK_DIR=<scratch folder> -P LayerRuleTest.cmake
cmake_minimum_required(VERSION 3.16)

set(failures "")

# Writes `files` (pairs of path and one line of content) into a fresh tree and runs the rule;
# `expected` is a text the rule's report must contain, or empty when the rule must hold.
function(check_tree name expected)
  set(tree "${WORK_DIR}/${name}")
  file(REMOVE_RECURSE "${tree}")
  set(pairs ${ARGN})
  while(pairs)
    list(POP_FRONT pairs path line)
    file(WRITE "${tree}/${path}" "#pragma once\n${line}\n")
  endwhile()
  execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${tree} -P ${CHECK} RESULT_VARIABLE result
                  OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(expected STREQUAL "")
    if(NOT result EQUAL 0)
      set(failures "${failures}\n${name}: the rule failed a tree that keeps it:\n${output}" PARENT_SCOPE)
    endif()
  elseif(result EQUAL 0)
    set(failures "${failures}\n${name}: the rule passed a tree that breaks it" PARENT_SCOPE)
  else()
    string(FIND "${output}" "${expected}" found)
    if(found EQUAL -1)
      set(failures "${failures}\n${name}: the report does not name '${expected}':\n${output}" PARENT_SCOPE)
    endif()
  endif()
endfunction()

check_tree(keeps "" engine/Voice.h "#include \"shared/ParameterNumber.h\"" shared/ParameterNumber.h ""
           platform/win32/Window.h "#include <windows.h>" instrument/Instrument.h "#include \"editor/Editor.h\""
           plugin/Base.h "#include \"editor/Editor.h\"" editor/Editor.h "#include \"gui/Widget.h\"" gui/Widget.h "")
check_tree(gui_reaches_up "gui/Widget.h: \"editor/Editor.h\"" gui/Widget.h "#include \"editor/Editor.h\""
           editor/Editor.h "")
check_tree(engine_sees_windows "engine/Voice.h: <windows.h>" engine/Voice.h "#include <windows.h>")
check_tree(portable_sees_win32 "platform/portable/Soft.h: \"platform/win32/Window.h\"" platform/portable/Soft.h
           "#include \"platform/win32/Window.h\"" platform/win32/Window.h "")
check_tree(x11_sees_test_platform "platform/x11/Paint.h: \"platform/portable/ScriptedPointer.h\"" platform/x11/Paint.h
           "#include \"platform/portable/ScriptedPointer.h\"" platform/portable/ScriptedPointer.h "")
check_tree(plugin_sees_instrument "plugin/Entry.cpp: \"instrument/Instrument.h\"" plugin/Entry.cpp
           "#include \"instrument/Instrument.h\"" instrument/Instrument.h "")
check_tree(editor_sees_plugin "editor/Panel.h: \"plugin/Base.h\"" editor/Panel.h "#include \"plugin/Base.h\""
           plugin/Base.h "")
check_tree(lv2_sees_plugin "lv2/Door.cpp: \"plugin/VstAbi.h\"" lv2/Door.cpp "#include \"plugin/VstAbi.h\""
           plugin/VstAbi.h "")
check_tree(shared_sees_gui "shared/PanelLayout.h: \"gui/Widget.h\"" shared/PanelLayout.h "#include \"gui/Widget.h\""
           gui/Widget.h "")
check_tree(folder_without_rule "stray/Thing.h: its folder stray/ has no layer rule" stray/Thing.h "")

if(failures)
  message(FATAL_ERROR "Layer rule test:${failures}")
endif()
message(STATUS "The layer rule catches every break it was shown")
