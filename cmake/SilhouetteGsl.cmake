# GSL as everything built here links it: the target silhouette_gsl.
#
# With SILHOUETTE_BUNDLE_GSL (the default), GSL's static library libgsl.a
# is linked together with the project's own CBLAS (cblas/), both hidden in
# whatever shared object they end up in: no gsl_* or cblas_* symbol is
# exported or left undefined. So a module's BLAS calls never leave it, and
# it computes the same bits in every host: with libgsl.so, GSL's cblas_*
# calls bind to the first BLAS loaded in the process, which in a host is
# the host's own (in MATLAB one with 64-bit integers, which GSL's 32-bit
# calls would misread). Debian's libgsl.a is position independent; its
# libgslcblas.a is not, hence a CBLAS of our own.
#
# Link silhouette_gsl (the lsq library does) to get this; a new shared
# front end gets it through lsq. Without libgsl.a, or with the option
# off, silhouette_gsl is GSL's shared libraries (GSL::gsl), and the BLAS
# that GSL's calls reach depends on the process.
option(SILHOUETTE_BUNDLE_GSL
       "Link GSL statically, with the project's own CBLAS, into the modules"
       ON)

add_library(silhouette_gsl INTERFACE)
if(SILHOUETTE_BUNDLE_GSL)
  get_filename_component(_gsl_library_dir "${GSL_LIBRARY}" DIRECTORY)
  find_library(SILHOUETTE_GSL_STATIC_LIBRARY NAMES libgsl.a
               HINTS ${_gsl_library_dir})
  if(NOT SILHOUETTE_GSL_STATIC_LIBRARY)
    message(WARNING "libgsl.a not found: GSL is linked as a shared library, "
                    "and its BLAS calls bind to whatever BLAS the host "
                    "process has loaded")
  endif()
endif()

if(SILHOUETTE_BUNDLE_GSL AND SILHOUETTE_GSL_STATIC_LIBRARY)
  set(SILHOUETTE_HAVE_BUNDLED_GSL ON)
  target_include_directories(silhouette_gsl SYSTEM INTERFACE
                             ${GSL_INCLUDE_DIRS})
  # libgsl.a before the CBLAS it calls.
  target_link_libraries(silhouette_gsl INTERFACE
                        ${SILHOUETTE_GSL_STATIC_LIBRARY} silhouette_cblas m)
  # libgsl.a's symbols have default visibility; keep them, and the CBLAS's,
  # out of the dynamic symbol table of every shared object they go into
  # (GNU linkers; elsewhere a module's export list does it).
  if(UNIX AND NOT APPLE)
    target_link_options(silhouette_gsl INTERFACE
                        "LINKER:--exclude-libs=libgsl.a:libsilhouette_cblas.a")
  endif()
else()
  set(SILHOUETTE_HAVE_BUNDLED_GSL OFF)
  target_link_libraries(silhouette_gsl INTERFACE GSL::gsl)
endif()
