#!/bin/sh
# Fails when a command of the driver's table (as --help lists it) is not described in
# the driver's README, where its output formats are.
#   readme_lists_every_command.sh EDSCRIPT README
set -eu
missing=0
for name in $("$1" --help | sed -n 's/^  \([a-z][a-z]*\).*/\1/p'); do
  if ! grep -q "\`$name[\` ]" "$2"; then
    echo "not in $2: $name"
    missing=1
  fi
done
exit $missing
