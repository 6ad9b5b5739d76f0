#!/bin/sh
# The window program's command line, on the real program: help and version print and
# exit 0 without any display; a second file or an unknown option prints the usage on
# stderr and exits 2 before a window opens (Qt's own options stay Qt's).
#   command_line.sh PLOMARET
set -eu
program=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0

# run NAME EXPECTED_CODE ENV... -- ARGS...: runs the program, output in NAME.out/.err.
run() {
  name=$1 expected=$2
  shift 2
  set +e
  # A window that opened by mistake would wait for ever: the timeout ends it.
  env "$@" > "$name.out" 2> "$name.err" < /dev/null
  code=$?
  set -e
  if [ "$code" != "$expected" ]; then
    echo "$name: exit code $code, not $expected"
    sed 's/^/  stderr: /' "$name.err" | head -5
    failures=$((failures + 1))
  fi
}

# expect NAME out|err PATTERN: the output contains a line matching PATTERN (grep -E).
expect() {
  if ! grep -Eq -- "$3" "$1.$2"; then
    echo "$1: std$2 has no line matching '$3':"
    sed 's/^/  /' "$1.$2" | head -5
    failures=$((failures + 1))
  fi
}

# expect_empty NAME out|err
expect_empty() {
  if [ -s "$1.$2" ]; then
    echo "$1: std$2 should be empty:"
    sed 's/^/  /' "$1.$2" | head -5
    failures=$((failures + 1))
  fi
}

# No display at all: Qt could not start, so these must not need it.
nodisplay="-u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM"
# shellcheck disable=SC2086
run help 0 $nodisplay timeout 20 "$program" --help
expect help out '^usage: plomaret '
expect_empty help err
# shellcheck disable=SC2086
run short_help 0 $nodisplay timeout 20 "$program" -h
expect short_help out '^usage: plomaret '
# shellcheck disable=SC2086
run version 0 $nodisplay timeout 20 "$program" --version
expect version out '^plomaret [0-9]'
expect_empty version err

offscreen="QT_QPA_PLATFORM=offscreen"
run two_files 2 $offscreen timeout 20 "$program" a.x b.x
expect two_files err "^plomaret: .*'b\.x'"
expect two_files err '^usage: plomaret '
expect_empty two_files out

run unknown 2 $offscreen timeout 20 "$program" --bogus
expect unknown err "^plomaret: .*'--bogus'"
expect unknown err '^usage: plomaret '
expect_empty unknown out

# Qt takes its own options first; ours are read from what is left.
run qt_option 2 -u QT_QPA_PLATFORM timeout 20 "$program" -platform offscreen --bogus
expect qt_option err "'--bogus'"
if grep -q -- "-platform" qt_option.err; then
  echo "qt_option: Qt's option was read as the program's:"
  sed 's/^/  /' qt_option.err | head -5
  failures=$((failures + 1))
fi

# Nothing was opened or written for any of them.
left=$(ls -A | grep -cv '\.\(out\|err\)$' || true)
if [ "$left" != 0 ]; then
  echo "files left in the working folder:"
  ls -A | grep -v '\.\(out\|err\)$'
  failures=$((failures + 1))
fi

if [ "$failures" != 0 ]; then exit 1; fi
echo "help, version, two files, an unknown option and a Qt option: as expected"
