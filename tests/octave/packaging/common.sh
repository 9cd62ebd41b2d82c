# Shared by the packaging tests, sourced after SRC and OCTAVE are set: a
# temporary folder TMP removed at exit, run_octave ARGS... to run
# packaging_check.m in it, step TEXT to announce each stage, and
# check_gsl_inside DIR to check the modules of DIR for GSL and BLAS.

CHECK="$SRC/tests/octave/packaging/packaging_check.m"

TMP="$(mktemp -d)"
trap 'rm -rf "$TMP"' EXIT

run_octave() {
  (cd "$TMP" && "$OCTAVE" --no-gui --no-window-system --quiet --norc \
                 --no-history "$CHECK" "$@")
}

step() {
  echo
  echo "== $* (at $SECONDS s)"
}

# Fails unless the three modules in $1 neither need a GSL or BLAS library
# nor have a cblas_* or gsl_* dynamic symbol: GSL and its BLAS are linked
# into them and hidden.
check_gsl_inside() {
  local name needed symbols
  for name in Kestrim Dovanel Pirolet; do
    needed="$(readelf -d "$1/$name.mex" | grep NEEDED | grep -E 'gsl|blas' || true)"
    symbols="$(nm -D "$1/$name.mex" | grep -E ' (cblas_|gsl_)' || true)"
    if [[ -n "$needed" || -n "$symbols" ]]; then
      echo "FAILED: $1/$name.mex needs or offers GSL or BLAS:" >&2
      echo "$needed" "$symbols" | head -n 10 >&2
      exit 1
    fi
    echo "$name.mex: no GSL or BLAS library needed, no cblas_*/gsl_* symbol"
  done
}
