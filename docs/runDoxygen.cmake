# cmake -P script: runs doxygen on DOXYFILE and fails when it warns about
# anything (its warnings go to WARN_LOG) or, with QCH set, when the Qt help
# file was not made.
file(REMOVE ${WARN_LOG})
execute_process(COMMAND ${DOXYGEN} ${DOXYFILE} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
set(warnings "")
if(EXISTS ${WARN_LOG})
    file(READ ${WARN_LOG} warnings)
endif()
if(NOT rc EQUAL 0 OR NOT warnings STREQUAL "")
    message(FATAL_ERROR "doxygen (${rc}) on the public headers:\n${out}${warnings}")
endif()
if(QCH AND NOT EXISTS ${QCH})
    message(FATAL_ERROR "doxygen made no Qt help file ${QCH}:\n${out}")
endif()
