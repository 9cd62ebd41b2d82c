# Shared by the packaging tests, sourced after SRC and OCTAVE are set: a
# temporary folder TMP removed at exit, run_octave ARGS... to run
# packaging_check.m in it, and step TEXT to announce each stage.

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
