# Tests of the two builds of the modules that need no CMake, each checked
# against the modules of this build (${CMAKE_BINARY_DIR}/octave):
#   packaging_octave_pkg  scripts/package, then pkg install of the tarball
#                         into a temporary prefix, pkg load, help and calls;
#   packaging_build_mex   build_mex.m in octave-cli into a temporary folder,
#                         then help and calls.
# They compile every source with the host's own tools (label extra) and take
# minutes on two cores. Sanitized builds leave them out: their modules load
# only with the sanitizer runtime preloaded.
# Included from tests/octave/CMakeLists.txt, which sets SILHOUETTE_OCTAVE.
if(SILHOUETTE_SANITIZE)
  return()
endif()

find_program(SILHOUETTE_BASH bash)
if(NOT SILHOUETTE_BASH)
  message(WARNING "bash not found: the packaging tests are not registered")
  return()
endif()

add_test(NAME packaging_octave_pkg
         COMMAND ${SILHOUETTE_BASH}
                 ${CMAKE_CURRENT_LIST_DIR}/package_test.sh
                 ${PROJECT_SOURCE_DIR} ${CMAKE_BINARY_DIR} ${PROJECT_VERSION}
                 ${SILHOUETTE_OCTAVE})
# pkg install runs make with one job per core.
set_tests_properties(packaging_octave_pkg PROPERTIES
  LABELS "extra;packaging"
  TIMEOUT 1800
  PROCESSORS 2)

add_test(NAME packaging_build_mex
         COMMAND ${SILHOUETTE_BASH}
                 ${CMAKE_CURRENT_LIST_DIR}/build_mex_test.sh
                 ${PROJECT_SOURCE_DIR} ${CMAKE_BINARY_DIR} ${SILHOUETTE_OCTAVE})
set_tests_properties(packaging_build_mex PROPERTIES
  LABELS "extra;packaging"
  TIMEOUT 1800)
