#!/usr/bin/env bash
# Checks in Octave that the modules' BLAS and GSL calls stay inside them:
# calls the three modules of MODULE_DIR in octave-cli with the dynamic
# linker reporting every symbol binding (LD_DEBUG=bindings), and fails when
#   - a binding that a module asks for names a cblas_* or gsl_* symbol,
#   - GSL's shared libraries are loaded at all (their cblas_* calls would
#     go to the first BLAS loaded, Octave's), or
#   - the report holds no binding of some module (then nothing was
#     checked).
#
#   bindings_test.sh SOURCE_DIR MODULE_DIR [OCTAVE]
set -euo pipefail

if (($# < 2 || $# > 3)); then
  echo "usage: bindings_test.sh SOURCE_DIR MODULE_DIR [OCTAVE]" >&2
  exit 2
fi
SRC="$1"
MODULES="$(cd "$2" && pwd)"
OCTAVE="${3:-octave-cli}"
TMP="$(mktemp -d)"
trap 'rm -rf "$TMP"' EXIT

# One call of each module on the example data; the results are printed so
# that a failed call shows.
cat >"$TMP/calls.m" <<EOF2
addpath ('$MODULES');
addpath ('$SRC/examples');
A = load_view_set ('$SRC/examples/stone_views_A.txt');
B = load_view_set ('$SRC/examples/stone_views_B.txt');
rms = Dovanel (A, B, [0; 0; 0.17; 0.98; 30; -20; 10], [100; 1e-10]);
[nearPts, farPts, viewNums] = Kestrim (A);
d = Pirolet ([0 1 1 0; 0 0 1 1]);
printf ('Dovanel RMS %g, Kestrim %d edges, Pirolet %g\n', rms, ...
        columns (nearPts), d);
EOF2

(cd "$TMP" && LD_DEBUG=bindings LD_DEBUG_OUTPUT="$TMP/ld" \
   "$OCTAVE" --no-gui --no-window-system --quiet --norc --no-history \
   "$TMP/calls.m")
cat "$TMP"/ld.* >"$TMP/bindings.txt"
echo "$(wc -l <"$TMP/bindings.txt") bindings reported"

failed=0
for name in Kestrim Dovanel Pirolet; do
  module="$MODULES/$name.mex"
  own="$(grep -cF "binding file $module [" "$TMP/bindings.txt" || true)"
  blas="$(grep -F "binding file $module [" "$TMP/bindings.txt" |
          grep -E "symbol \`(cblas_|gsl_)" || true)"
  echo "$name: $own bindings asked for by the module"
  if ((own == 0)); then
    echo "FAILED: no binding of $module reported"
    failed=1
  fi
  if [[ -n "$blas" ]]; then
    echo "FAILED: BLAS or GSL calls of $name leave it:"
    echo "$blas" | head -n 10
    failed=1
  fi
done
gsl="$(grep -E "libgsl(cblas)?\.so" "$TMP/bindings.txt" || true)"
if [[ -n "$gsl" ]]; then
  echo "FAILED: GSL's shared libraries are loaded; their BLAS calls go to:"
  grep -E "symbol .cblas_" <<<"$gsl" | sed -E 's/.*binding file //' |
    head -n 5 || true
  failed=1
fi
if ((failed)); then
  exit 1
fi
echo "PASSED: no cblas_* or gsl_* binding leaves a module"
