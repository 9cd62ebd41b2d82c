# The host-free C++ libraries as a CMake package. `cmake --install` puts
#   lib/libsilhouette_*.a                 the static libraries,
#   include/silhouette/<subsystem>/*.h    their headers, included as
#                                         "geometry/vec2.h" and so on,
#   lib/cmake/SilhouetteGeometry/         the package configuration,
# so that a project's find_package(SilhouetteGeometry) gives the targets
#   silhouette::geometry             points, polygons, hull, matrices, solver
#   silhouette::lsq                  least-squares models and solver (GSL)
#   silhouette::camera_model         Camera
#   silhouette::point_triangulation  PointTriangulationModel
#   silhouette::camera               View, ViewSet, PrepareReferencePoint,
#                                    and all of the above through it;
#   silhouette::pirolet              MeanCaliperDiameter
#   silhouette::kestrim              ViewingEdgeExtractor (viewing edges)
#   silhouette::dovanel              SolveDovanel (relative pose of two sets)
# (the modules' computations, without their host gateways).
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(SILHOUETTE_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/silhouette)
set(SILHOUETTE_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/SilhouetteGeometry)

set(SILHOUETTE_EXPORTED_TARGETS
    geometry lsq camera_model_none point_triangulation_none camera_none
    pirolet_none kestrim_none dovanel_none)
foreach(target IN LISTS SILHOUETTE_EXPORTED_TARGETS)
  string(REGEX REPLACE "_none$" "" exported_name ${target})
  set_target_properties(${target} PROPERTIES
    EXPORT_NAME ${exported_name}
    OUTPUT_NAME silhouette_${exported_name})
endforeach()

# Every exported target links geometry, which carries what users need.
target_compile_features(geometry PUBLIC cxx_std_17)
target_include_directories(geometry PUBLIC
  $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
  $<INSTALL_INTERFACE:${SILHOUETTE_INSTALL_INCLUDEDIR}>)
if(SILHOUETTE_SANITIZE)
  # Instrumented objects need the sanitizer runtime wherever they are linked.
  target_link_options(geometry INTERFACE ${SILHOUETTE_SANITIZER_FLAGS})
endif()

install(TARGETS ${SILHOUETTE_EXPORTED_TARGETS}
        EXPORT SilhouetteGeometryTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(EXPORT SilhouetteGeometryTargets
        NAMESPACE silhouette::
        DESTINATION ${SILHOUETTE_INSTALL_CMAKEDIR})

# Headers of the host-free code only: not the test support (testing/,
# reference/) nor the host gateways (*_entry.h).
install(DIRECTORY ${PROJECT_SOURCE_DIR}/geometry ${PROJECT_SOURCE_DIR}/lsq
                  ${PROJECT_SOURCE_DIR}/pirolet ${PROJECT_SOURCE_DIR}/kestrim
                  ${PROJECT_SOURCE_DIR}/dovanel
        DESTINATION ${SILHOUETTE_INSTALL_INCLUDEDIR}
        FILES_MATCHING PATTERN "*.h"
        PATTERN "testing" EXCLUDE
        PATTERN "reference" EXCLUDE
        PATTERN "testdata" EXCLUDE
        PATTERN "*_entry.h" EXCLUDE
        PATTERN "two_set_scene.h" EXCLUDE)
install(FILES ${PROJECT_SOURCE_DIR}/camera/camera.h
              ${PROJECT_SOURCE_DIR}/camera/view.h
              ${PROJECT_SOURCE_DIR}/camera/view_set.h
              ${PROJECT_SOURCE_DIR}/camera/reference_point.h
        DESTINATION ${SILHOUETTE_INSTALL_INCLUDEDIR}/camera)
install(FILES ${PROJECT_SOURCE_DIR}/host/mex_api.h
        DESTINATION ${SILHOUETTE_INSTALL_INCLUDEDIR}/host)

configure_package_config_file(
  ${CMAKE_CURRENT_LIST_DIR}/SilhouetteGeometryConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/SilhouetteGeometryConfig.cmake
  INSTALL_DESTINATION ${SILHOUETTE_INSTALL_CMAKEDIR})
write_basic_package_version_file(
  ${CMAKE_CURRENT_BINARY_DIR}/SilhouetteGeometryConfigVersion.cmake
  VERSION ${PROJECT_VERSION}
  COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/SilhouetteGeometryConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/SilhouetteGeometryConfigVersion.cmake
        DESTINATION ${SILHOUETTE_INSTALL_CMAKEDIR})
