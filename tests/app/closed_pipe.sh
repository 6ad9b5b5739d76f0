#!/bin/bash
# The batch tool whose reader goes away after one line (| head -1): every file is
# still rewritten, the exit code is 1, and no temporary file stays behind.
#   closed_pipe.sh TOOL
set -eu
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
for i in $(seq 1 120); do
  printf 'Mesh {\r\n MeshTextureCoords {\r\n  0.5;0.5;,\r\n }\r\n}\r\n' > "f$i.x"
done
"$tool" --in-place f*.x | head -1 > /dev/null
status=${PIPESTATUS[0]}
if [ "$status" != 1 ]; then echo "exit code $status, not 1"; exit 1; fi
left=$(grep -l ';,' f*.x | wc -l)
if [ "$left" != 0 ]; then echo "$left files were not rewritten"; exit 1; fi
temporary=$(ls -A | grep -c plomaret || true)
if [ "$temporary" != 0 ]; then echo "$temporary temporary files left"; exit 1; fi
echo "120 files rewritten, exit code 1"
