#!/bin/sh
# Runs a benchmark program on a generated .x file (made once and kept in /tmp):
#   bench/run_on_xfile.sh build/release/bench/fountain_bench [MB]
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
program=$1
mb=${2:-100}
file="${TMPDIR:-/tmp}/plomaret-bench-${mb}mb.x"
if [ ! -f "$file" ]; then
  python3 "$root/../shared/tools/gen_xfile.py" --seed 100 --mb "$mb" --sjis-comments -o "$file"
fi
PLOMARET_BENCH_XFILE="$file" exec "$program"
