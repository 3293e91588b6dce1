# Installs the build into a temporary root, as the Debian package would lay it
# out, and runs the programs from there: the command line front end, the
# virtual readers and the manager offscreen for a moment on a project made by
# the installed front end. The manual folder the installed programs resolve
# must hold both manuals.
# cmake -DBUILD=<build folder> -DWORK=<scratch folder> -P check_install.cmake
set(root ${WORK}/root)
set(prefix /usr)
set(home ${WORK}/home)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${root} ${home} ${WORK}/runtime)
set(env ${CMAKE_COMMAND} -E env HOME=${home} XDG_RUNTIME_DIR=${WORK}/runtime
    QT_QPA_PLATFORM=offscreen KX_LOOPBACK_ONLY=1 LC_ALL=C.UTF-8 LANGUAGE=)

execute_process(COMMAND ${env} DESTDIR=${root} ${CMAKE_COMMAND} --install ${BUILD} --prefix ${prefix}
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "install failed (${rc}):\n${out}\n${err}")
endif()
file(GLOB_RECURSE in_home LIST_DIRECTORIES true ${home}/*)
if(in_home)
  message(FATAL_ERROR "installing wrote into the home folder: ${in_home}")
endif()

set(usr ${root}${prefix})
foreach(file
    bin/kelvara-manager bin/kelvara-cli bin/kelvara-reader-sim
    lib/kelvara-manager/libkxrdr.so lib/kelvara-manager/libkxtcp.so
    lib/kelvara-manager/libkxusb.so lib/kelvara-manager/libkxudp.so
    share/applications/com.korvex.KelvaraManager.desktop
    share/metainfo/com.korvex.KelvaraManager.metainfo.xml
    share/icons/hicolor/48x48/apps/kelvara-manager.png
    share/icons/hicolor/256x256/apps/kelvara-manager.png
    share/icons/hicolor/scalable/apps/kelvara-manager.svg
    share/man/man1/kelvara-manager.1.gz share/man/man1/kelvara-cli.1.gz
    share/man/man1/kelvara-reader-sim.1.gz
    share/bash-completion/completions/kelvara-cli
    lib/systemd/user/kelvara-update@.service lib/systemd/user/kelvara-update@.timer
    lib/systemd/user/kelvara-read-events@.service lib/systemd/user/kelvara-read-events@.timer
    share/doc/kelvara-manager/changelog.gz share/doc/kelvara-manager/copyright
    share/doc/kelvara-manager/server.md)
  if(NOT EXISTS ${usr}/${file})
    message(FATAL_ERROR "not installed: ${prefix}/${file}")
  endif()
endforeach()

# The desktop entry and the AppStream metadata, where the checkers are at hand
# (never over the network).
find_program(DESKTOP_VALIDATE desktop-file-validate)
if(DESKTOP_VALIDATE)
  execute_process(COMMAND ${DESKTOP_VALIDATE} ${usr}/share/applications/com.korvex.KelvaraManager.desktop
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0 OR out MATCHES "error")
    message(FATAL_ERROR "desktop entry:\n${out}\n${err}")
  endif()
endif()
find_program(APPSTREAMCLI appstreamcli)
if(APPSTREAMCLI)
  execute_process(COMMAND ${APPSTREAMCLI} validate --no-net
    ${usr}/share/metainfo/com.korvex.KelvaraManager.metainfo.xml
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "AppStream metadata:\n${out}\n${err}")
  endif()
endif()

# The unattended jobs: their units checked by systemd where it is at hand,
# with the program they name looked up in the installed tree, and the update's
# command line run on a project as the timer would run it.
set(units ${usr}/lib/systemd/user)
file(MAKE_DIRECTORY ${WORK}/units)
set(instances)
foreach(unit kelvara-update@.service kelvara-update@.timer kelvara-read-events@.service
             kelvara-read-events@.timer)
  file(READ ${units}/${unit} text)
  if(NOT text MATCHES "ExecStart=${prefix}/bin/kelvara-cli|OnCalendar=")
    message(FATAL_ERROR "${unit} runs no installed kelvara-cli:\n${text}")
  endif()
  string(REPLACE "${prefix}/bin/" "${usr}/bin/" text "${text}")
  file(WRITE ${WORK}/units/${unit} "${text}")
  string(REPLACE "@." "@srv-sites-Office." instance ${unit})
  list(APPEND instances ${WORK}/units/${instance})
endforeach()
find_program(SYSTEMD_ANALYZE systemd-analyze)
if(SYSTEMD_ANALYZE)
  execute_process(COMMAND ${env} ${SYSTEMD_ANALYZE} verify --user --man=no ${instances}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "systemd-analyze verify (${rc}):\n${out}\n${err}")
  endif()
else()
  message(STATUS "systemd-analyze is not installed: the systemd units were not verified")
endif()

# The reader libraries are found beside the programs, not through the build tree.
find_program(READELF readelf)
if(READELF)
  foreach(file lib/kelvara-manager/kelvara-manager lib/kelvara-manager/kelvara-cli
               lib/kelvara-manager/libkxrdr.so)
    execute_process(COMMAND ${READELF} -d ${usr}/${file} OUTPUT_VARIABLE dynamic)
    string(REGEX MATCH "(RPATH|RUNPATH)[^\n]*\\[([^]\n]*)\\]" found "${dynamic}")
    if(NOT CMAKE_MATCH_2 STREQUAL "$ORIGIN")
      message(FATAL_ERROR "${file}: run path '${CMAKE_MATCH_2}', expected $ORIGIN")
    endif()
  endforeach()
endif()

function(run_ok name)
  execute_process(COMMAND ${env} ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${name} failed (${rc}):\n${out}\n${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

run_ok("kelvara-cli --help" ${usr}/bin/kelvara-cli --help)
if(NOT out MATCHES "kelvara-cli run FUNCTION")
  message(FATAL_ERROR "kelvara-cli --help printed:\n${out}")
endif()
run_ok("kelvara-reader-sim --help" ${usr}/bin/kelvara-reader-sim --help)
if(NOT out MATCHES "Usage: kelvara-reader-sim")
  message(FATAL_ERROR "kelvara-reader-sim --help printed:\n${out}")
endif()

run_ok("kelvara-cli paths" ${usr}/bin/kelvara-cli paths)
string(REGEX MATCH "manual\t([^\n]*)" found "${out}")
set(manual ${CMAKE_MATCH_1})
if(NOT manual STREQUAL "${usr}/lib/kelvara-manager/doc")
  message(FATAL_ERROR "the installed programs look for the manuals in '${manual}'")
endif()
foreach(lang en de)
  set(pdf ${manual}/Kelvara-Manager-Manual-${lang}.pdf)
  if(NOT EXISTS ${pdf})
    message(FATAL_ERROR "manual missing: ${pdf}")
  endif()
  file(READ ${pdf} head LIMIT 5)
  if(NOT head MATCHES "^%PDF-")
    message(FATAL_ERROR "not a PDF file: ${pdf}")
  endif()
endforeach()

# The manager on a project made by the installed front end: still running
# after a moment (the SQLite driver, fonts and reader libraries were found).
run_ok("kelvara-cli create-project" ${usr}/bin/kelvara-cli create-project ${home}/Site)
file(READ ${units}/kelvara-update@.service text)
string(REGEX MATCH "ExecStart=([^\n]*)" found "${text}")
string(REPLACE "%f" "${home}/Site" command "${CMAKE_MATCH_1}")
string(REPLACE "${prefix}/bin/" "${usr}/bin/" command "${command}")
separate_arguments(command UNIX_COMMAND "${command}")
run_ok("the nightly update's command" ${command})
if(NOT out MATCHES "There are no reader with changed access rights")
  message(FATAL_ERROR "the nightly update printed:\n${out}")
endif()
file(WRITE ${home}/Kelvara-Manager/Kelvara-Manager.ini "[General]\nCurrentProjectPath=${home}/Site\n")
execute_process(COMMAND ${env} ${usr}/bin/kelvara-manager TIMEOUT 3
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc MATCHES "timeout")
  message(FATAL_ERROR "kelvara-manager ended by itself (${rc}):\n${out}\n${err}")
endif()
if(err MATCHES "driver not loaded|Cannot load library|Could not load")
  message(FATAL_ERROR "kelvara-manager reported:\n${err}")
endif()
file(REMOVE_RECURSE ${WORK})
message(STATUS "installed tree runs; manuals in ${prefix}/lib/kelvara-manager/doc")
