# cmake -P script: install, then build and run against the installed package,
# with the compiler (and, in a sanitizer build, the sanitizers) of the library:
# the consumer program and the example host plugin through find_package, the
# same plugin through pkg-config, each plugin loaded by the stand-in host.
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)

function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out
        WORKING_DIRECTORY ${WORK_DIR})
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "failed (${rc}): ${ARGN}\n${out}")
    endif()
    set(last_output "${out}" PARENT_SCOPE)
endfunction()

function(expect text pattern)
    if(NOT text MATCHES "${pattern}")
        message(FATAL_ERROR "no match for \"${pattern}\" in:\n${text}")
    endif()
endfunction()

file(MAKE_DIRECTORY ${WORK_DIR}/home)
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
foreach(file include/zadururu/zadururuPlugin.h include/zadururu/zadururu_export.h
             include/zadururu/zadururu_version.h include/tarnwickhost/extensionsystem/iplugin.h
             ${LIBDIR}/cmake/ZadUruru/ZadUruruConfig.cmake ${LIBDIR}/cmake/ZadUruru/ZadUruruConfigVersion.cmake
             ${LIBDIR}/pkgconfig/zadururu.pc ${LIBDIR}/pkgconfig/tarnwickhost.pc)
    if(NOT EXISTS ${prefix}/${file})
        message(FATAL_ERROR "not installed: ${file}")
    endif()
endforeach()
file(GLOB_RECURSE private_headers ${prefix}/include/*_p.h)
if(private_headers)
    message(FATAL_ERROR "private headers installed: ${private_headers}")
endif()

# The version file accepts the same major version, up to the installed one.
set(CMAKE_SIZEOF_VOID_P 8)
foreach(request "1.0;TRUE" "${VERSION};TRUE" "1.99;FALSE" "2.0;FALSE" "0.9;FALSE")
    list(GET request 0 PACKAGE_FIND_VERSION)
    list(GET request 1 expected)
    string(REGEX MATCH "^[0-9]+" PACKAGE_FIND_VERSION_MAJOR ${PACKAGE_FIND_VERSION})
    unset(PACKAGE_VERSION_COMPATIBLE)
    include(${prefix}/${LIBDIR}/cmake/ZadUruru/ZadUruruConfigVersion.cmake)
    if(NOT PACKAGE_VERSION STREQUAL VERSION OR NOT "${PACKAGE_VERSION_COMPATIBLE}" STREQUAL "${expected}")
        message(FATAL_ERROR "ZadUruruConfigVersion.cmake ${PACKAGE_VERSION}: "
            "version ${PACKAGE_FIND_VERSION} compatible \"${PACKAGE_VERSION_COMPATIBLE}\", expected ${expected}")
    endif()
endforeach()

# CMake: a program, and the example plugin.
foreach(project consumer example)
    string(TOUPPER ${project} source)
    run(${CMAKE_COMMAND} -S ${${source}_SOURCE} -B ${WORK_DIR}/${project}
        -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=${CONSUMER_CXX}
        "-DCMAKE_CXX_FLAGS=${CONSUMER_FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${CONSUMER_FLAGS}"
        "-DCMAKE_MODULE_LINKER_FLAGS=${CONSUMER_FLAGS}")
    run(${CMAKE_COMMAND} --build ${WORK_DIR}/${project})
endforeach()
run(${WORK_DIR}/consumer/consumer)
expect("${last_output}" "consumer ok, libzadururu ${VERSION}")

# pkg-config: the flags, and the same plugin built by make alone.
set(pkg_config ${CMAKE_COMMAND} -E env PKG_CONFIG_PATH=${prefix}/${LIBDIR}/pkgconfig pkg-config)
run(${pkg_config} --modversion zadururu tarnwickhost)
expect("${last_output}" "^${VERSION}\n${VERSION}\n$")
run(${pkg_config} --cflags --libs zadururu)
expect("${last_output}" "-I[^ ]*/include .*-lzadururu .*-ltarnwickhost .*-lQt5Xml")
file(MAKE_DIRECTORY ${WORK_DIR}/example-make)
run(${CMAKE_COMMAND} -E env PKG_CONFIG_PATH=${prefix}/${LIBDIR}/pkgconfig
    make -C ${WORK_DIR}/example-make -f ${EXAMPLE_SOURCE}/Makefile CXX=${CONSUMER_CXX}
    "CXXFLAGS=-O1 ${CONSUMER_FLAGS}" "LDFLAGS=${CONSUMER_FLAGS}")

# The stand-in host loads each plugin, which reports on the example project
# and frees what it loaded when the host shuts down.
foreach(plugin ${WORK_DIR}/example/libtagusage.so ${WORK_DIR}/example-make/libtagusage.so)
    run(${CMAKE_COMMAND} -E env HOME=${WORK_DIR}/home
        ${HOST} --host-plugin ${plugin} ${EXAMPLE_PROJECT} ${WORK_DIR}/out)
    expect("${last_output}" "Plugin [^\n]*libtagusage.so\n  IID        org.qt-project.Qt.TarnwickPlugin\n  className  TagUsagePlugin")
    expect("${last_output}" "tagusage: 3 pages, [0-9]+ tags defined")
    expect("${last_output}" "tagusage: overview.xml \\(page 1\\) binds [0-9 ]+; not defined: -\n")
    expect("${last_output}" "tagusage: a new component instance would get the id [0-9]+")
endforeach()
message(STATUS "${last_output}")
