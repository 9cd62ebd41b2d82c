# cmake -D BUILD_DIR=<build> -D EXAMPLE_DIR=<source>/examples/cpp
#       -D WORK_DIR=<scratch folder> [-D CONFIG=<build type>]
#       [-D GENERATOR=<generator>] [-D CXX_COMPILER=<compiler>]
#       -P install_and_run_example.cmake
#
# Installs the build into WORK_DIR/prefix, configures and builds the example
# in WORK_DIR/example against that prefix alone (warnings are errors), and
# runs it. WORK_DIR is emptied first and removed when every step passed; any
# failing step ends the script with an error.
foreach(var BUILD_DIR EXAMPLE_DIR WORK_DIR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()

set(prefix ${WORK_DIR}/prefix)
set(example_build ${WORK_DIR}/example)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

function(run_step name)
  message(STATUS "${name}: ${ARGN}")
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${name} failed (${result})")
  endif()
endfunction()

set(config_args "")
if(CONFIG)
  set(config_args --config ${CONFIG})
endif()
set(configure_args -S ${EXAMPLE_DIR} -B ${example_build}
    -D CMAKE_PREFIX_PATH=${prefix}
    -D CMAKE_FIND_USE_PACKAGE_REGISTRY=OFF
    "-D CMAKE_CXX_FLAGS=-Wall -Wextra -Werror")
if(CONFIG)
  list(APPEND configure_args -D CMAKE_BUILD_TYPE=${CONFIG})
endif()
if(GENERATOR)
  list(APPEND configure_args -G ${GENERATOR})
endif()
if(CXX_COMPILER)
  list(APPEND configure_args -D CMAKE_CXX_COMPILER=${CXX_COMPILER})
endif()

run_step(install ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
         ${config_args})
run_step(configure ${CMAKE_COMMAND} ${configure_args})
run_step(build ${CMAKE_COMMAND} --build ${example_build} ${config_args})

# The program's path differs between single- and multi-configuration
# generators.
find_program(program triangulate_cube
             PATHS ${example_build} ${example_build}/${CONFIG}
             NO_DEFAULT_PATH)
if(NOT program)
  message(FATAL_ERROR "the example program was not built")
endif()
run_step(run ${program})

file(REMOVE_RECURSE ${WORK_DIR})
