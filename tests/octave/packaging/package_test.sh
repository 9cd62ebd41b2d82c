#!/usr/bin/env bash
# Test of the Octave package: builds the tarball with scripts/package,
# installs it with pkg into a temporary prefix (package lists of its own
# there; the user's are left alone), loads it, checks that help finds the
# three modules' texts and that their results equal those of the modules
# this build made, and that GSL and its BLAS are inside the modules.
#
#   package_test.sh SOURCE_DIR BUILD_DIR VERSION [OCTAVE]
#
# BUILD_DIR/octave holds the modules of the CMake build; VERSION is the
# project's, which the tarball's name and the installed package must carry.
set -euo pipefail

if (($# < 3 || $# > 4)); then
  echo "usage: package_test.sh SOURCE_DIR BUILD_DIR VERSION [OCTAVE]" >&2
  exit 2
fi
SRC="$1"
BUILD="$2"
VERSION="$3"
OCTAVE="${4:-octave-cli}"
source "$SRC/tests/octave/packaging/common.sh"
mkdir -p "$TMP/home"

step "scripts/package $TMP/package"
bash "$SRC/scripts/package" "$TMP/package"
TARBALL="$TMP/package/silhouette-$VERSION.tar.gz"
if [[ ! -f "$TARBALL" ]]; then
  echo "FAILED: scripts/package wrote no $TARBALL" >&2
  exit 1
fi

step "the modules of this build, $BUILD/octave"
run_octave reference "$BUILD/octave" "$TMP/cmake.bin"

step "pkg install, pkg load and the installed modules"
# A home of its own, so that nothing of the user's Octave setup is read or
# written even where pkg falls back to its defaults.
HOME="$TMP/home" run_octave install "$TARBALL" "$TMP/prefix" "$VERSION" \
  "$TMP/package.bin"

step "GSL and its BLAS inside the installed modules"
check_gsl_inside "$(dirname "$(find "$TMP/prefix" -name Pirolet.mex | head -n 1)")"

step "comparison"
run_octave compare "$TMP/cmake.bin" "$TMP/package.bin"
echo "PASSED in $SECONDS s"
