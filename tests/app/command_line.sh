#!/bin/sh
# The window program's command line, on the real program: help and version print and
# exit 0 without any display; every wrong command line prints the usage on stderr and
# exits 2 without any display (Qt's own options stay Qt's); messages follow the language.
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

# No display at all: Qt could not start, so none of these may need it. The messages are
# English unless the language asks for Japanese.
nodisplay="-u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u LC_MESSAGES -u LANG LC_ALL=C"
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

# Every wrong command line: the usage on stderr and 2, before Qt would need a display.
# mistake NAME PATTERN ARGS...
mistake() {
  name=$1 says=$2
  shift 2
  # shellcheck disable=SC2086
  run "$name" 2 $nodisplay timeout 20 "$program" "$@"
  expect "$name" err "^plomaret: .*$says"
  expect "$name" err '^usage: plomaret '
  expect_empty "$name" out
}
mistake two_files "'b\.x'" a.x b.x
mistake unknown "'--bogus'" --bogus
mistake short_unknown "'-v'" -v
mistake short_unknown_with_file "'-x'" a.x -x
mistake qt_option_without_value "'-platform'" -platform
# Qt's own options are set aside for Qt; ours are read from the rest.
mistake qt_option "'--bogus'" -platform offscreen --bogus
if grep -q -- "-platform\|offscreen" qt_option.err; then
  echo "qt_option: Qt's option was read as the program's:"
  sed 's/^/  /' qt_option.err | head -5
  failures=$((failures + 1))
fi

# Qt still gets its options: a platform that does not exist is Qt's own error.
# shellcheck disable=SC2086
run qt_gets_its_option 134 $nodisplay timeout 20 "$program" -platform no-such-platform
expect qt_gets_its_option err 'no-such-platform'

# Japanese: LC_ALL, else LC_MESSAGES, else LANG, the first one set and not empty.
bare="-u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u LC_ALL -u LC_MESSAGES -u LANG"
# language NAME ja|en ENV...: a mistake answered in the language ENV chooses.
language() {
  name=$1 want=$2
  shift 2
  # shellcheck disable=SC2086
  run "$name" 2 $bare "$@" timeout 20 "$program" --bogus
  if [ "$want" = ja ]; then
    expect "$name" err "^plomaret: 不明なオプションです: '--bogus'"
    expect "$name" err '^使い方: plomaret '
  else
    expect "$name" err "^plomaret: unknown option '--bogus'"
    expect "$name" err '^usage: plomaret '
  fi
}
language lang_ja ja LANG=ja_JP.UTF-8
language lc_all_ja ja LANG=C LC_ALL=ja_JP.UTF-8
language lc_all_wins en LANG=ja_JP.UTF-8 LC_ALL=C
language lc_messages_ja ja LANG=en_US.UTF-8 LC_MESSAGES=ja_JP.UTF-8
language empty_is_unset ja LC_ALL= LC_MESSAGES= LANG=ja
language nothing_set en
# shellcheck disable=SC2086
run help_ja 0 $bare LANG=ja_JP.UTF-8 timeout 20 "$program" --help
expect help_ja out '^使い方: plomaret '
expect help_ja out 'をエディタで開きます'

# Nothing was opened or written for any of them.
left=$(ls -A | grep -cv '\.\(out\|err\)$' || true)
if [ "$left" != 0 ]; then
  echo "files left in the working folder:"
  ls -A | grep -v '\.\(out\|err\)$'
  failures=$((failures + 1))
fi

if [ "$failures" != 0 ]; then exit 1; fi
echo "help, version, wrong command lines, Qt options and the language: as expected"
