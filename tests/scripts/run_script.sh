#!/bin/sh
# Runs one driver script in a scratch folder and compares what it prints with the
# expected output beside it (SCRIPT with .out for .eds); any further words are options
# for the driver. With PLOMARET_UPDATE_SCRIPTS=1 the expected output is written instead,
# to be read and checked by hand.
#   run_script.sh EDSCRIPT SCRIPT [OPTION...]
set -eu
edscript=$1
script=$2
shift 2
expected="${script%.eds}.out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
"$edscript" "$@" "$script" > "$work/actual.out" 2>&1
if [ "${PLOMARET_UPDATE_SCRIPTS:-0}" = 1 ]; then
  cp "$work/actual.out" "$expected"
  exit 0
fi
diff -u "$expected" "$work/actual.out"
