#!/bin/sh
# Times whole processes side by side on one generated .x file, five runs each (medians,
# peak memory from /usr/bin/time), and prints each ratio to its peer:
#   - loading into the editor (edscript: editor, load) against Vim loading the same file;
#   - the window's Open + Exchange + SaveAs (edscript: form, through the main window)
#     against the batch tool doing the same rewrite;
#   - the batch tool against the awk one-liner and against iconv -f CP932 -t UTF-8;
#   - a search for a missing pattern (edscript: find) against grep -c -F.
#   bench/compare_editors.sh [MB]   (default 100; needs ../shared and a release build)
# A peer that is not installed is skipped.
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
shared="$root/../shared"
mb=${1:-100}
edscript="$root/build/release/tools/edscript/edscript"
tool="$root/build/release/app/plomaret-exchange"
for program in "$edscript" "$tool"; do
  [ -x "$program" ] || { echo "build the release preset first (missing $program)" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 "$shared/tools/gen_xfile.py" --seed 100 --mb "$mb" --sjis-comments -o "$work/in.x"
bytes=$(wc -c < "$work/in.x")
echo "input: $bytes bytes, $(wc -l < "$work/in.x") lines"
cat "$work/in.x" > /dev/null  # the page cache warm for everyone

# measure NAME COMMAND...: five runs; prints and remembers the medians of wall time,
# CPU time and peak memory as NAME_wall, NAME_cpu, NAME_mb (in $work/NAME.median).
measure() {
  name=$1; shift
  : > "$work/$name.runs"
  for run in 1 2 3 4 5; do
    /usr/bin/time -f "%e %U %S %M" -o "$work/time" "$@" > /dev/null
    cat "$work/time" >> "$work/$name.runs"
  done
  python3 - "$work/$name.runs" "$name" "$bytes" > "$work/$name.median" <<'PY'
import statistics, sys
rows = [line.split() for line in open(sys.argv[1]) if line.strip()]
wall = statistics.median(float(r[0]) for r in rows)
cpu = statistics.median(float(r[1]) + float(r[2]) for r in rows)
peak = statistics.median(int(r[3]) for r in rows) / 1024
size = int(sys.argv[3]) / (1024 * 1024)
print(f"{wall} {cpu} {peak}")
print(f"{sys.argv[2]:<28} wall {wall:6.2f} s  cpu {cpu:6.2f} s  peak {peak:7.1f} MB ({peak / size:.2f} x the file)",
      file=sys.stderr)
PY
}
# ratio WHAT A B FIELD: A's median over B's (field 1 wall, 2 cpu, 3 memory).
ratio() {
  [ -s "$work/$2.median" ] && [ -s "$work/$3.median" ] || return 0
  a=$(cut -d' ' -f"$4" "$work/$2.median")
  b=$(cut -d' ' -f"$4" "$work/$3.median")
  python3 -c "import sys; a, b = float(sys.argv[1]), max(float(sys.argv[2]), 0.005); print(f'{sys.argv[3]:<58} {a / b:6.2f}')" \
    "$a" "$b" "$1"
}
have() { command -v "$1" > /dev/null 2>&1; }

cd "$work"
printf 'editor\nload in.x\n' > load.eds
printf 'form\nanswer open in.x\nclick Open\nclick Exchange\nanswer save window-out.x\nclick SaveAs\n' > window.eds
printf 'editor\nload in.x\nfind "zqzqzqzqzq" 1\n' > find.eds

measure load "$edscript" load.eds
have vim && measure vim vim -u NONE -N -es -i NONE -n --cmd 'set enc=latin1 fencs=' -c q! in.x
measure window "$edscript" window.eds
measure tool "$tool" in.x -o tool-out.x
cmp -s window-out.x tool-out.x && echo "the window's file and the batch tool's are identical" >&2
have awk && measure awk sh -c "'$shared/tools/xfix_oneliners.sh' awk in.x > awk-out.x"
have iconv && measure iconv iconv -f CP932 -t UTF-8 -o iconv-out.txt in.x
measure find "$edscript" find.eds
have grep && measure grep sh -c 'grep -c -F zqzqzqzqzq in.x || true'

echo
echo "ratios (ours to the peer; lower is better)"
ratio "load, wall, against Vim" load vim 1
ratio "load, peak memory, against Vim" load vim 3
ratio "window Open+Exchange+SaveAs, wall, against the batch tool" window tool 1
ratio "batch tool, wall, against awk" tool awk 1
ratio "batch tool, CPU, against iconv" tool iconv 2
ratio "load and search, wall, against grep -c -F" find grep 1
# The search alone: the load taken off.
if [ -s find.median ] && [ -s load.median ]; then
  python3 - find.median load.median grep.median "$bytes" <<'PY'
import os, sys
find = float(open(sys.argv[1]).read().split()[0])
load = float(open(sys.argv[2]).read().split()[0])
size = int(sys.argv[4]) / 1e6
search = max(find - load, 1e-3)
line = f"search alone (load taken off): {search:.2f} s, {size / search:.0f} MB/s"
if os.path.getsize(sys.argv[3]) > 0:
    grep = max(float(open(sys.argv[3]).read().split()[0]), 0.005)  # time counts hundredths
    line += f"; grep -c -F {size / grep:.0f} MB/s; ratio {search / grep:.2f}"
print(line)
PY
fi
