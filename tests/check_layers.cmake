# Fails when a folder below the GUI includes a header of the GUI layer
# (widgets/, views/, app/) or of Qt's widget modules: lower layers report with
# return values and ErrorInfo, never with dialogs.
set(lower core db access userlist reader discovery functions cli)
set(offences "")
foreach(dir ${lower})
  file(GLOB_RECURSE files ${SRC}/${dir}/*.h ${SRC}/${dir}/*.cpp)
  foreach(file ${files})
    file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include")
    foreach(line ${lines})
      if(line MATCHES "[\"<](widgets|views|app)/" OR line MATCHES "<Qt(Widgets|PrintSupport)[/>]"
         OR line MATCHES "<Q(Widget|Dialog|MessageBox|MainWindow|Application|AbstractButton|FileDialog)>")
        file(RELATIVE_PATH rel ${SRC} ${file})
        list(APPEND offences "${rel}: ${line}")
      endif()
    endforeach()
  endforeach()
endforeach()
if(offences)
  list(JOIN offences "\n  " text)
  message(FATAL_ERROR "GUI headers included below the GUI layer:\n  ${text}")
endif()
message(STATUS "Layers clean")
