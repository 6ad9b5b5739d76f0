#!/bin/sh
# Times the batch rewrite on a large generated .x file against the awk one-liner
# of the shared tools, in the same run, and reports peak memory of each.
#   bench/compare_exchange.sh [MB]   (default 100; needs ../shared and a release build)
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
shared="$root/../shared"
mb=${1:-100}
tool="$root/build/release/app/plomaret-exchange"
[ -x "$tool" ] || { echo "build the release preset first" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 "$shared/tools/gen_xfile.py" --seed 100 --mb "$mb" --sjis-comments -o "$work/in.x"
ls -l "$work/in.x" | awk '{print "input:", $5, "bytes"}'
cat "$work/in.x" >/dev/null  # warm the page cache for both

measure() {  # measure NAME COMMAND...
  name=$1; shift
  best=""
  for run in 1 2 3; do
    /usr/bin/time -f "%e %M" -o "$work/time" "$@"
    read -r seconds kb < "$work/time"
    echo "$name run $run: ${seconds} s, peak ${kb} KiB"
  done
}
measure plomaret-exchange "$tool" "$work/in.x" -o "$work/out-tool.x"
measure "awk one-liner" sh -c "'$shared/tools/xfix_oneliners.sh' awk '$work/in.x' > '$work/out-awk.x'"
cmp "$work/out-tool.x" "$work/out-awk.x" && echo "outputs identical"
PLOMARET_BENCH_XFILE="$work/in.x" "$root/build/release/bench/exchange_bench"
