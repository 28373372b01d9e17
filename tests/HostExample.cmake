# What a host developer does with the plug-in, against a fresh prefix: install this
# build there, then configure, build and run examples/host with nothing else on the
# search path. A package config that misses a dependency fails here.
#   cmake -DBINARY_DIR=... -DSOURCE_DIR=... -DWORK_DIR=... [-DCXX_COMPILER=...]
#         [-DCXX_COMPILER_LAUNCHER=...] [-DBUILD_TYPE=...] -P HostExample.cmake

function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${what} failed (${status}):\n${out}\n${err}")
  endif()
  set(output "${out}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE "${WORK_DIR}")
set(prefix "${WORK_DIR}/prefix")

run("Installing" ${CMAKE_COMMAND} --install "${BINARY_DIR}" --prefix "${prefix}")

set(configure ${CMAKE_COMMAND} -S "${SOURCE_DIR}/examples/host" -B "${WORK_DIR}/build"
  "-DCMAKE_PREFIX_PATH=${prefix}" -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF)
foreach(setting CXX_COMPILER CXX_COMPILER_LAUNCHER BUILD_TYPE)
  if(${setting})
    list(APPEND configure "-DCMAKE_${setting}=${${setting}}")
  endif()
endforeach()
run("Configuring the example" ${configure})
run("Building the example" ${CMAKE_COMMAND} --build "${WORK_DIR}/build")

run("Running the example" "${WORK_DIR}/build/rq-host-example" "${WORK_DIR}/settings")
if(NOT output MATCHES "Resolved the YouTube sharing service")
  message(FATAL_ERROR "The example did not resolve the service:\n${output}")
endif()
message(STATUS "${output}")
file(REMOVE_RECURSE "${WORK_DIR}")
