#!/usr/bin/env bash
# Test of the MATLAB build without MATLAB:
#
#   standin_test.sh SOURCE_DIR STUB_DIR DRIVER [CMAKE]
#
# 1. Makes a stand-in MATLAB folder in a temporary folder, from this
#    project's files only: extern/include/matrix.h (host/embedded_matrix.h)
#    and mex.h (standin/mex.h), the stub libraries bin/glnxa64/libmx.so
#    and libmex.so of STUB_DIR (the embedded host, built by this build),
#    the version source and export map that matlab_add_mex uses, bin/mexext
#    and the version files that CMake's FindMatlab reads.
# 2. Configures a build of SOURCE_DIR with FindMatlab pointed at that
#    folder (Octave, tests and benchmarks off) and builds the three MATLAB
#    modules.
# 3. Checks each module with readelf and nm: libmx and libmex are NEEDED;
#    the dynamic exports are exactly mexFunction and
#    mexfilerequiredapiversion; no GLIBCXX_*/CXXABI_* version and no C++
#    runtime is required; no cblas_* or gsl_* symbol is undefined or
#    exported; every object that includes mex.h was compiled for the same
#    API (the marker symbols of standin/mex.h); the help file is beside it.
# 4. Runs DRIVER (mex_driver), which loads the modules against the stubs
#    and calls them.
#
# Exits with status 1 when a check fails. JOBS (default 2) sets the build's
# parallel jobs.
set -euo pipefail

if (($# < 3 || $# > 4)); then
  echo "usage: standin_test.sh SOURCE_DIR STUB_DIR DRIVER [CMAKE]" >&2
  exit 2
fi
SRC="$1"
STUBS="$2"
DRIVER="$3"
CMAKE="${4:-cmake}"
JOBS="${JOBS:-2}"

TMP="$(mktemp -d)"
trap 'rm -rf "$TMP"' EXIT
ROOT="$TMP/MATLAB"
BUILD="$TMP/build"
MODULES=(Kestrim Dovanel Pirolet)
failures=0

step() {
  echo
  echo "== $* (at $SECONDS s)"
}

check() {
  local ok="$1"
  shift
  if [[ "$ok" == 1 ]]; then
    echo "ok: $*"
  else
    echo "FAILED: $*"
    failures=$((failures + 1))
  fi
}

step "stand-in MATLAB folder $ROOT"
mkdir -p "$ROOT/bin/glnxa64" "$ROOT/extern/include" \
         "$ROOT/extern/lib/glnxa64" "$ROOT/extern/version" "$ROOT/appdata"
cp "$STUBS/libmx.so" "$STUBS/libmex.so" "$ROOT/bin/glnxa64/"
cp "$SRC/host/embedded_matrix.h" "$ROOT/extern/include/matrix.h"
cp "$SRC/tests/matlab/standin/mex.h" "$ROOT/extern/include/mex.h"
cp "$SRC/tests/matlab/standin/cpp_mexapi_version.cpp" "$ROOT/extern/version/"
cp "$SRC/tests/matlab/standin/c_exportsmexfileversion.map" \
   "$ROOT/extern/lib/glnxa64/"
printf '#!/bin/sh\necho mexa64\n' >"$ROOT/bin/mexext"
chmod +x "$ROOT/bin/mexext"
# FindMatlab reads the version from VersionInfo.xml only for a folder whose
# appdata/version.xml names the runtime; for a full installation it would
# run the matlab program. The folder still counts as an installation for
# the libraries and headers. 9.14 is R2023a, which has the version source,
# the export map and the API release macro.
cat >"$ROOT/VersionInfo.xml" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<MathWorks_version_info>
  <version>9.14.0.0</version>
  <release>R2023a</release>
</MathWorks_version_info>
EOF
cat >"$ROOT/appdata/version.xml" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<productVersionInfo>
  <installedProductData displayedString="MATLAB Runtime" version="9.14"/>
</productVersionInfo>
EOF
find "$ROOT" -type f | sed "s|^$ROOT/|  |" | sort

step "configure $BUILD against the stand-in"
"$CMAKE" -S "$SRC" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMatlab_ROOT_DIR="$ROOT" -DSILHOUETTE_BUILD_TESTS=OFF \
  -DSILHOUETTE_BUILD_BENCHMARKS=OFF -DSILHOUETTE_BUILD_OCTAVE=OFF \
  >"$TMP/configure.log" 2>&1 || { cat "$TMP/configure.log"; exit 1; }
grep -E "MATLAB|Matlab" "$TMP/configure.log" || true
if ! grep -q "MATLAB MEX backend: $ROOT" "$TMP/configure.log"; then
  echo "FAILED: FindMatlab did not take the stand-in folder" >&2
  exit 1
fi

step "build the MATLAB modules"
targets=()
for name in "${MODULES[@]}"; do
  targets+=(--target "${name}_matlab_mex")
done
"$CMAKE" --build "$BUILD" -j "$JOBS" "${targets[@]}" >"$TMP/build.log" 2>&1 ||
  { tail -n 60 "$TMP/build.log"; exit 1; }
echo "link line of Pirolet:"
sed 's/^/  /' "$BUILD/pirolet/CMakeFiles/Pirolet_matlab_mex.dir/link.txt"

step "the modules' files"
for name in "${MODULES[@]}"; do
  module="$BUILD/matlab/$name.mexa64"
  folder="$(tr '[:upper:]' '[:lower:]' <<<"$name")"
  check "$([[ -f "$module" ]] && echo 1)" "$module built"
  check "$(cmp -s "$BUILD/matlab/$name.m" "$SRC/$folder/$name.m" && echo 1)" \
        "help file $name.m beside it"

  needed="$(readelf -d "$module" | sed -nE 's/.*\(NEEDED\).*\[(.*)\]/\1/p' |
            sort | tr '\n' ' ')"
  check "$(grep -qw libmx.so <<<"$needed" && grep -qw libmex.so <<<"$needed" &&
           echo 1)" "$name needs libmx.so and libmex.so (NEEDED: $needed)"
  check "$(grep -qE 'libstdc\+\+|libgcc_s' <<<"$needed" || echo 1)" \
        "$name needs no shared C++ runtime"

  exports="$(nm -D --defined-only "$module" | awk '{print $NF}' | sort |
             tr '\n' ' ')"
  check "$([[ "$exports" == "mexFunction mexfilerequiredapiversion " ]] &&
           echo 1)" "$name exports exactly mexFunction and" \
                    "mexfilerequiredapiversion (exports: $exports)"

  versions="$(readelf -V "$module" | grep -oE '(GLIBCXX|CXXABI)_[0-9.]+' |
              sort -u | tr '\n' ' ' || true)"
  check "$([[ -z "$versions" ]] && echo 1)" \
        "$name requires no GLIBCXX_*/CXXABI_* version ($versions)"

  blas="$(nm -D "$module" | awk '{print $NF}' | grep -E '^(cblas_|gsl_)' |
          tr '\n' ' ' || true)"
  check "$([[ -z "$blas" ]] && echo 1)" \
        "$name has no dynamic cblas_* or gsl_* symbol ($blas)"

  markers="$(nm "$module" | grep -oE 'standin_mex_api_[A-Za-z0-9_]+' |
             sort | uniq -c | sed -E 's/^ +//' | tr '\n' ' ')"
  distinct="$(nm "$module" | grep -oE 'standin_mex_api_[A-Za-z0-9_]+' |
              sort -u | tr '\n' ' ')"
  check "$([[ "$distinct" == "standin_mex_api_R2017b_mexfile " ]] && echo 1)" \
        "$name: every object including mex.h was compiled with" \
        "MATLAB_DEFAULT_RELEASE=R2017b and MATLAB_MEX_FILE ($markers)"
done

step "the objects of the modules' libraries"
archives=()
while IFS= read -r archive; do
  archives+=("$archive")
done < <(find "$BUILD" -name 'lib*_matlab.a' | sort)
objects="$(nm -A "${archives[@]}" 2>/dev/null |
           grep -oE '^[^:]+:[^:]+:.*standin_mex_api_[A-Za-z0-9_]+' |
           sed -E 's/^([^:]+:[^:]+):.*(standin_mex_api_[A-Za-z0-9_]+)$/\1 \2/' |
           sort -u)"
count="$(grep -c . <<<"$objects" || true)"
others="$(grep -v ' standin_mex_api_R2017b_mexfile$' <<<"$objects" || true)"
check "$([[ "$count" -ge 8 && -z "$others" ]] && echo 1)" \
      "all $count objects of ${#archives[@]} archives that include mex.h" \
      "carry the module's API macros${others:+; others: $others}"

step "load and call the modules ($DRIVER)"
"$DRIVER" "$BUILD/matlab" "$SRC/examples" ||
  { echo "FAILED: the driver's checks"; failures=$((failures + 1)); }

echo
if ((failures > 0)); then
  echo "FAILED: $failures checks"
  exit 1
fi
echo "PASSED in $SECONDS s"
