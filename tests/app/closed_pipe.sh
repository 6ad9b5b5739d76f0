#!/bin/sh
# The batch tool writing into a pipe whose reader is gone (as after | head -1): every
# file is still rewritten, the exit code is 1, and no temporary file stays behind.
#   closed_pipe.sh TOOL
set -eu
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
for i in $(seq 1 120); do
  printf 'Mesh {\r\n MeshTextureCoords {\r\n  0.5;0.5;,\r\n }\r\n}\r\n' > "f$i.x"
done
# The reading end is closed before the tool starts, so its first report meets SIGPIPE.
python3 - "$tool" f*.x <<'PYTHON'
import os, subprocess, sys
read_end, write_end = os.pipe()
os.close(read_end)
status = subprocess.call([sys.argv[1], "--in-place"] + sys.argv[2:], stdout=write_end, stderr=subprocess.DEVNULL)
if status != 1:
    sys.exit("exit code %d, not 1" % status)
PYTHON
left=$(grep -l ';,' f*.x | wc -l)
if [ "$left" != 0 ]; then echo "$left files were not rewritten"; exit 1; fi
temporary=$(ls -A | grep -c plomaret || true)
if [ "$temporary" != 0 ]; then echo "$temporary temporary files left"; exit 1; fi
echo "120 files rewritten, exit code 1"
