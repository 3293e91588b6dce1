# Runs lupdate over the sources into a copy of the German catalogue and fails
# when any text of the program has no German translation.
file(COPY ${TS} DESTINATION ${WORK})
get_filename_component(name ${TS} NAME)
execute_process(COMMAND ${LUPDATE} -no-obsolete -locations none -recursive ${SRC} -ts ${WORK}/${name}
                RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "lupdate failed")
endif()
file(STRINGS ${WORK}/${name} unfinished REGEX "type=\"unfinished\"")
list(LENGTH unfinished count)
if(count GREATER 0)
  message(FATAL_ERROR "${count} texts lack a German translation; run scripts/update-translations.sh and translate them")
endif()
message(STATUS "German catalogue complete")
