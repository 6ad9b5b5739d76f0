#!/bin/sh
# Compares the batch tool with the reference rewrite on the real .x files and on
# generated files of every variant, and, given the driver, the main window's Open,
# Exchange and SaveAs with the tool. Skips (77) when the shared data is absent.
#   compare_with_reference.sh TOOL SHARED [EDSCRIPT]
set -eu
# The window's notes are matched in English, whatever language the one running it reads.
LC_ALL=C
export LC_ALL
tool=$1
shared=$2
driver=${3:-}
ref="$shared/tools/xfix_ref.py"
gen="$shared/tools/gen_xfile.py"
if [ ! -f "$ref" ] || [ ! -d "$shared/data/xfiles" ] || ! command -v python3 >/dev/null; then
  echo "shared data or python3 missing: skipped"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
checked=0

check() {  # check NAME FILE
  python3 "$ref" "$2" "$work/expected"
  "$tool" "$2" -o "$work/actual" >/dev/null 2>"$work/notes"
  if cmp -s "$work/expected" "$work/actual"; then :; else
    echo "DIFFERS: $1"; failures=$((failures + 1))
  fi
  if [ -n "$driver" ]; then
    # The window: Open, Exchange, SaveAs, as a user would.
    rm -f "$work/window"
    printf 'form\nanswer open %s\nclick Open\nclick Exchange\nanswer save %s\nclick SaveAs\ndump boxes\n' \
      "$2" "$work/window" > "$work/window.eds"
    (cd "$work" && "$driver" window.eds > "$work/window.out")
    # Open first says how many bytes follow an end-of-file mark, when any do.
    if [ "$(grep -v 'end-of-file mark (0x1A)' "$work/window.out")" != 'box: "Complete."' ] ||
       ! cmp -s "$work/actual" "$work/window"; then
      echo "WINDOW DIFFERS: $1"; failures=$((failures + 1))
    fi
  fi
  # A second run over its own output changes nothing.
  "$tool" "$work/actual" -o "$work/again" >/dev/null
  cmp -s "$work/actual" "$work/again" || { echo "NOT IDEMPOTENT: $1"; failures=$((failures + 1)); }
  checked=$((checked + 1))
}

for file in "$shared"/data/xfiles/*.x; do
  check "$(basename "$file")" "$file"
  # No real file has both CR LF and vertex colours: make one by converting.
  python3 -c 'import sys; d=open(sys.argv[1],"rb").read().replace(b"\r\n",b"\n").replace(b"\n",b"\r\n"); open(sys.argv[2],"wb").write(d)' "$file" "$work/crlf.x"
  check "$(basename "$file") converted to CR LF" "$work/crlf.x"
done

for variant in --crlf --lf --cr --mixed --no-final-eol --no-colors --tabs --tabs-mix --sjis-comments \
               --near-miss --nested --unclosed --ctrlz-mid --ctrlz-end --ctrlz-in-tex; do
  for seed in 1 2 3; do
    python3 "$gen" --seed "$seed" --meshes 4 $variant -o "$work/gen.x"
    check "gen_xfile $variant --seed $seed" "$work/gen.x"
  done
done
python3 "$gen" --seed 7 --meshes 5 --mixed --sjis-comments --near-miss --nested --unclosed --no-final-eol -o "$work/gen.x"
check "gen_xfile with every trap at once" "$work/gen.x"

# A CR as the last byte of an 8192-byte block, then LF; and a lone CR there.
python3 - "$work" <<'PY'
import sys
w = sys.argv[1]
head = b" MeshTextureCoords {\r\n"
pad = b"  0.5;0.5;," * 1000
body = (head + pad)[:8191]
open(w + "/block-crlf.x", "wb").write(body + b"\r\n  0.1;0.1;,\r\n }\r\n")
open(w + "/block-cr.x", "wb").write(body + b"\r  0.1;0.1;,\r }\r")
PY
check "CR LF across the 8192-byte block boundary" "$work/block-crlf.x"
check "lone CR at the 8192-byte block boundary" "$work/block-cr.x"

echo "$checked files compared, $failures failures"
[ "$failures" -eq 0 ]
