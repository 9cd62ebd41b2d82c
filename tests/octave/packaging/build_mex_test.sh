#!/usr/bin/env bash
# Test of build_mex.m: builds the three modules with it in octave-cli into a
# temporary folder given as ~/mex (with a home folder of its own), checks
# that GSL and its BLAS are inside the modules (nothing of them needed from
# or offered to the host), that help finds their texts there and that
# their results equal those of the modules this build made.
#
#   build_mex_test.sh SOURCE_DIR BUILD_DIR [OCTAVE]
#
# BUILD_DIR/octave holds the modules of the CMake build.
set -euo pipefail

if (($# < 2 || $# > 3)); then
  echo "usage: build_mex_test.sh SOURCE_DIR BUILD_DIR [OCTAVE]" >&2
  exit 2
fi
SRC="$1"
BUILD="$2"
OCTAVE="${3:-octave-cli}"
source "$SRC/tests/octave/packaging/common.sh"

step "build_mex ('~/mex') with HOME=$TMP/home"
mkdir -p "$TMP/home"
HOME="$TMP/home" run_octave build_mex "~/mex"
MEX="$TMP/home/mex"
for name in Kestrim Dovanel Pirolet; do
  for file in "$MEX/$name.mex" "$MEX/$name.m"; do
    if [[ ! -f "$file" ]]; then
      echo "FAILED: build_mex made no $file" >&2
      exit 1
    fi
  done
done

step "GSL and its BLAS inside the modules"
check_gsl_inside "$MEX"

step "the modules of this build, $BUILD/octave"
run_octave reference "$BUILD/octave" "$TMP/cmake.bin"

step "the modules of build_mex, $MEX"
run_octave results "$MEX" "$TMP/build_mex.bin"

step "comparison"
run_octave compare "$TMP/cmake.bin" "$TMP/build_mex.bin"
echo "PASSED in $SECONDS s"
