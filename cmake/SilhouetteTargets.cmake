# silhouette_add_host_library(<name> SOURCES ... [LIBS ...] [HOST_LIBS ...]
#                             [HOST_FREE] [READER_SOURCES ...]
#                             [READER_LIBS ...])
# Adds one static library <name>_<backend> per host backend, from SOURCES
# and READER_SOURCES. LIBS are linked as they are; HOST_LIBS and READER_LIBS
# are other host libraries, linked in the same backend's variant.
#
# HOST_FREE also adds <name>_none, the variant for C++ programs without a
# host: SOURCES only (READER_SOURCES are the code that reads host arrays),
# compiled with SILHOUETTE_HOST_NONE, which every target linking it inherits
# (host/mex_api.h then declares an opaque mxArray and includes nothing). It
# links the _none variants of HOST_LIBS, which must be HOST_FREE libraries
# too, and none of READER_LIBS.
function(silhouette_add_host_library name)
  cmake_parse_arguments(ARG "HOST_FREE" ""
                        "SOURCES;LIBS;HOST_LIBS;READER_SOURCES;READER_LIBS"
                        ${ARGN})
  foreach(backend IN LISTS SILHOUETTE_HOST_BACKENDS)
    add_library(${name}_${backend} STATIC ${ARG_SOURCES}
                ${ARG_READER_SOURCES})
    target_link_libraries(${name}_${backend} PUBLIC host_api_${backend}
                          ${ARG_LIBS})
    foreach(lib IN LISTS ARG_HOST_LIBS ARG_READER_LIBS)
      target_link_libraries(${name}_${backend} PUBLIC ${lib}_${backend})
    endforeach()
  endforeach()
  if(ARG_HOST_FREE)
    add_library(${name}_none STATIC ${ARG_SOURCES})
    target_compile_definitions(${name}_none PUBLIC SILHOUETTE_HOST_NONE)
    target_link_libraries(${name}_none PUBLIC ${ARG_LIBS})
    foreach(lib IN LISTS ARG_HOST_LIBS)
      target_link_libraries(${name}_none PUBLIC ${lib}_none)
    endforeach()
  endif()
endfunction()

# silhouette_add_test(<name> SOURCES ... LIBS ...)
# A GoogleTest executable registered with ctest.
function(silhouette_add_test name)
  if(NOT SILHOUETTE_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest
                        GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
endfunction()

# silhouette_add_mex(<Name> SOURCE <file> LIB <host library> HELP <file.m>)
# Builds the module <Name> for each real host found: build/octave/<Name>.mex
# for Octave, build/matlab/<Name>.<mexext> for MATLAB, each with its help
# file beside it; `cmake --install` copies both to <prefix>/octave or
# <prefix>/matlab.
function(silhouette_add_mex name)
  cmake_parse_arguments(ARG "" "SOURCE;LIB;HELP" "" ${ARGN})
  if(SILHOUETTE_HAVE_OCTAVE)
    set(target ${name}_octave_mex)
    add_library(${target} MODULE ${ARG_SOURCE})
    target_link_libraries(${target} PRIVATE ${ARG_LIB}_octave)
    target_link_options(${target} PRIVATE ${SILHOUETTE_OCTAVE_LDFLAGS})
    set_target_properties(${target} PROPERTIES
      OUTPUT_NAME ${name} PREFIX "" SUFFIX ".mex"
      CXX_VISIBILITY_PRESET default
      LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/octave)
    # The help file is its own build step, so that editing it alone
    # updates the copy (a post-build step runs only when the module links).
    set(help_copy ${CMAKE_BINARY_DIR}/octave/${ARG_HELP})
    add_custom_command(OUTPUT ${help_copy}
      COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_SOURCE_DIR}/${ARG_HELP}
              ${help_copy}
      DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${ARG_HELP}
      COMMENT "Copying ${ARG_HELP} beside ${name}.mex")
    add_custom_target(${name}_octave_help ALL DEPENDS ${help_copy})
    add_dependencies(${target} ${name}_octave_help)
    install(TARGETS ${target} LIBRARY DESTINATION octave)
    install(FILES ${ARG_HELP} DESTINATION octave)
  endif()
  if(SILHOUETTE_HAVE_MATLAB)
    set(target ${name}_matlab_mex)
    matlab_add_mex(NAME ${target} MODULE SRC ${ARG_SOURCE}
                   OUTPUT_NAME ${name} LINK_TO ${ARG_LIB}_matlab
                   DOCUMENTATION ${CMAKE_CURRENT_SOURCE_DIR}/${ARG_HELP})
    set_target_properties(${target} PROPERTIES
      CXX_VISIBILITY_PRESET default
      LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/matlab)
    install(TARGETS ${target} LIBRARY DESTINATION matlab)
    install(FILES ${ARG_HELP} DESTINATION matlab)
  endif()
endfunction()
