# Host backends. Code that talks to the host (the mx*/mex* functions) is
# compiled once per backend:
#   embedded - the project's own stand-in host, for the C++ unit tests and
#              the fuzz targets;
#   octave   - GNU Octave's mex.h, flags taken from mkoctfile;
#   matlab   - MATLAB's mex.h through CMake's FindMatlab, when MATLAB exists.
set(SILHOUETTE_HOST_BACKENDS "")
set(SILHOUETTE_HAVE_OCTAVE OFF)
set(SILHOUETTE_HAVE_MATLAB OFF)

set(SILHOUETTE_HAVE_EMBEDDED OFF)
if(SILHOUETTE_BUILD_TESTS OR SILHOUETTE_FUZZ)
  set(SILHOUETTE_HAVE_EMBEDDED ON)
  list(APPEND SILHOUETTE_HOST_BACKENDS embedded)
endif()

if(SILHOUETTE_BUILD_OCTAVE)
  find_program(SILHOUETTE_MKOCTFILE mkoctfile)
  find_program(SILHOUETTE_OCTAVE octave-cli NAMES octave-cli octave)
  if(SILHOUETTE_MKOCTFILE)
    execute_process(COMMAND ${SILHOUETTE_MKOCTFILE} -p INCFLAGS
                    OUTPUT_VARIABLE _oct_incflags
                    OUTPUT_STRIP_TRAILING_WHITESPACE)
    separate_arguments(_oct_incflags UNIX_COMMAND "${_oct_incflags}")
    set(SILHOUETTE_OCTAVE_INCLUDE_DIRS "")
    foreach(_flag IN LISTS _oct_incflags)
      string(REGEX REPLACE "^-I" "" _dir "${_flag}")
      list(APPEND SILHOUETTE_OCTAVE_INCLUDE_DIRS "${_dir}")
    endforeach()
    execute_process(COMMAND ${SILHOUETTE_MKOCTFILE} -p DL_LDFLAGS
                    OUTPUT_VARIABLE SILHOUETTE_OCTAVE_LDFLAGS
                    OUTPUT_STRIP_TRAILING_WHITESPACE)
    separate_arguments(SILHOUETTE_OCTAVE_LDFLAGS UNIX_COMMAND
                       "${SILHOUETTE_OCTAVE_LDFLAGS}")
    list(REMOVE_ITEM SILHOUETTE_OCTAVE_LDFLAGS "-shared")
    set(SILHOUETTE_HAVE_OCTAVE ON)
    list(APPEND SILHOUETTE_HOST_BACKENDS octave)
    message(STATUS "Octave MEX backend: ${SILHOUETTE_OCTAVE_INCLUDE_DIRS}")
  else()
    message(WARNING "mkoctfile not found: the Octave modules are not built "
                    "(install liboctave-dev)")
  endif()
endif()

# The MEX API every object of a MATLAB module is compiled for: the separate
# complex one (mxGetPr), matlab_add_mex's default.
set(SILHOUETTE_MATLAB_API R2017b)
if(SILHOUETTE_BUILD_MATLAB)
  find_package(Matlab QUIET COMPONENTS MX_LIBRARY)
  if(Matlab_FOUND)
    set(SILHOUETTE_HAVE_MATLAB ON)
    list(APPEND SILHOUETTE_HOST_BACKENDS matlab)
    message(STATUS "MATLAB MEX backend: ${Matlab_ROOT_DIR}")
  endif()
endif()
