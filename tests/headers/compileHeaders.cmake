# cmake -P script: compiles public headers with one compiler and one language
# standard, syntax only, and fails on the first error or warning of any.
#   COMPILER  the compiler to run
#   STD       the language standard (c++14, c++17)
#   MODE      "alone": one translation unit per header, holding only that
#             header (a header that relies on another include fails);
#             "together": one translation unit holding every header
#   HEADERS   the headers, as included (zadururu/scene/scaFileData.h), '|'-separated
#   FLAGS     the other compiler arguments, '|'-separated
#   WORK_DIR  where the translation units are written
string(REPLACE "|" ";" headers "${HEADERS}")
string(REPLACE "|" ";" flags "${FLAGS}")
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

set(units)
if(MODE STREQUAL "alone")
    foreach(header IN LISTS headers)
        string(MAKE_C_IDENTIFIER ${header} name)
        file(WRITE ${WORK_DIR}/${name}.cpp "#include <${header}>\n")
        list(APPEND units ${WORK_DIR}/${name}.cpp)
    endforeach()
else()
    set(text "")
    foreach(header IN LISTS headers)
        string(APPEND text "#include <${header}>\n")
    endforeach()
    file(WRITE ${WORK_DIR}/all.cpp "${text}")
    set(units ${WORK_DIR}/all.cpp)
endif()

set(failed "")
foreach(unit IN LISTS units)
    execute_process(COMMAND ${COMPILER} -std=${STD} -fsyntax-only ${flags} ${unit}
        RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(NOT rc EQUAL 0 OR NOT out STREQUAL "")
        file(READ ${unit} included)
        string(APPEND failed "\n${included}${out}")
    endif()
endforeach()
list(LENGTH units count)
if(NOT failed STREQUAL "")
    message(FATAL_ERROR "${COMPILER} -std=${STD} (${MODE}):${failed}")
endif()
message(STATUS "${COMPILER} -std=${STD}: ${count} translation units (${MODE}) compile without a warning")
