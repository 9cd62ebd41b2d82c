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

# silhouette_copy_help(<Name> <help file.m> <folder> <module target>)
# Copies the help file to <folder>/<Name>.m as a build step of its own, so
# that editing it alone updates the copy (a post-build step runs only when
# the module links), and makes the module depend on it.
function(silhouette_copy_help name help folder module)
  set(help_copy ${folder}/${name}.m)
  add_custom_command(OUTPUT ${help_copy}
    COMMAND ${CMAKE_COMMAND} -E copy ${help} ${help_copy}
    DEPENDS ${help}
    COMMENT "Copying ${name}.m beside ${module}")
  add_custom_target(${module}_help ALL DEPENDS ${help_copy})
  add_dependencies(${module} ${module}_help)
endfunction()

# silhouette_add_mex(<Name> SOURCE <file> LIB <host library> HELP <file.m>)
# Builds the module <Name> for each real host found: build/octave/<Name>.mex
# for Octave, build/matlab/<Name>.<mexext> for MATLAB, each with its help
# file beside it; `cmake --install` copies both to <prefix>/octave or
# <prefix>/matlab.
function(silhouette_add_mex name)
  cmake_parse_arguments(ARG "" "SOURCE;LIB;HELP" "" ${ARGN})
  set(help ${CMAKE_CURRENT_SOURCE_DIR}/${ARG_HELP})
  if(SILHOUETTE_HAVE_OCTAVE)
    set(target ${name}_octave_mex)
    add_library(${target} MODULE ${ARG_SOURCE})
    target_link_libraries(${target} PRIVATE ${ARG_LIB}_octave)
    target_link_options(${target} PRIVATE ${SILHOUETTE_OCTAVE_LDFLAGS})
    set_target_properties(${target} PROPERTIES
      OUTPUT_NAME ${name} PREFIX "" SUFFIX ".mex"
      CXX_VISIBILITY_PRESET default
      LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/octave)
    silhouette_copy_help(${name} ${help} ${CMAKE_BINARY_DIR}/octave ${target})
    install(TARGETS ${target} LIBRARY DESTINATION octave)
    install(FILES ${ARG_HELP} DESTINATION octave)
  endif()
  if(SILHOUETTE_HAVE_MATLAB)
    # matlab_add_mex's DOCUMENTATION would add the help file to the
    # sources, where CMake takes Name.m for Objective-C; it is copied like
    # the Octave one instead. libmx and libmex come through host_api_matlab,
    # after the archives that call them, or --as-needed (which
    # matlab_add_mex sets) would drop them from the link line that
    # matlab_add_mex starts with them. The API release is the one every
    # object of the module is compiled for (host_api_matlab).
    set(target ${name}_matlab_mex)
    set(no_implicit_libraries "")
    if(CMAKE_VERSION VERSION_GREATER_EQUAL 3.24)
      set(no_implicit_libraries NO_IMPLICIT_LINK_TO_MATLAB_LIBRARIES)
    endif()
    matlab_add_mex(NAME ${target} MODULE SRC ${ARG_SOURCE}
                   OUTPUT_NAME ${name} LINK_TO ${ARG_LIB}_matlab
                   ${SILHOUETTE_MATLAB_API} ${no_implicit_libraries})
    get_target_property(linked ${target} LINK_LIBRARIES)
    list(REMOVE_ITEM linked ${Matlab_MEX_LIBRARY} ${Matlab_MX_LIBRARY}
         ${Matlab_ENGINE_LIBRARY} ${Matlab_DATAARRAY_LIBRARY})
    set_property(TARGET ${target} PROPERTY LINK_LIBRARIES ${linked})
    # MATLAB loads its own, often older, C++ runtime before any module: a
    # module must not need a newer one. Nothing C++ crosses the module's
    # boundary (only mexFunction is exported), so it carries its own.
    target_link_options(${target} PRIVATE -static-libstdc++ -static-libgcc)
    set_target_properties(${target} PROPERTIES
      CXX_VISIBILITY_PRESET default
      LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/matlab)
    silhouette_copy_help(${name} ${help} ${CMAKE_BINARY_DIR}/matlab ${target})
    install(TARGETS ${target} LIBRARY DESTINATION matlab)
    install(FILES ${ARG_HELP} DESTINATION matlab)
  endif()
endfunction()
