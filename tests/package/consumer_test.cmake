# cmake -P script: install, configure, build and run the consumer project,
# with the compiler (and, in a sanitizer build, the runtime) of the library.
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)

function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "failed (${rc}): ${ARGN}\n${out}")
    endif()
    set(last_output "${out}" PARENT_SCOPE)
endfunction()

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
foreach(header zadururu/zadururuPlugin.h zadururu/zadururu_export.h tarnwickhost/extensionsystem/iplugin.h)
    if(NOT EXISTS ${prefix}/include/${header})
        message(FATAL_ERROR "not installed: include/${header}")
    endif()
endforeach()
file(GLOB_RECURSE private_headers ${prefix}/include/*_p.h)
if(private_headers)
    message(FATAL_ERROR "private headers installed: ${private_headers}")
endif()

run(${CMAKE_COMMAND} -S ${CONSUMER_SOURCE} -B ${WORK_DIR}/build
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_CXX_COMPILER=${CONSUMER_CXX} "-DCMAKE_EXE_LINKER_FLAGS=${CONSUMER_LINK_FLAGS}")
run(${CMAKE_COMMAND} --build ${WORK_DIR}/build)
run(${WORK_DIR}/build/consumer)
if(NOT last_output MATCHES "consumer ok")
    message(FATAL_ERROR "unexpected consumer output:\n${last_output}")
endif()
message(STATUS "${last_output}")
