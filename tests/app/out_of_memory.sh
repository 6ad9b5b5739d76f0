#!/bin/sh
# The batch tool under a range of address-space limits (ulimit -v), on the rename path,
# the in-place path (a file with a second hard link) and with backups: at every limit it
# ends with exit code 0 and every file rewritten, or with exit code 1, a message on
# stderr, every file as it was and no temporary file left. Never an abort.
# A sanitizer's shadow memory never fits under a limit: such a build is skipped.
#   out_of_memory.sh TOOL
set -eu
# Its messages are matched in English, whatever language the one running it reads.
LC_ALL=C
export LC_ALL
tool=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir tmp
TMPDIR=$work/tmp
export TMPDIR

# About 4 MB: big enough that reading and writing it take real buffers.
awk 'BEGIN {
  print "xof 0302txt 0032"; print "Mesh {"; print " MeshTextureCoords {"
  for (i = 0; i < 150000; i++) printf "  0.%06d;0.500000;,\n", i
  print " }"; print " MeshVertexColors {"; print "  1;"; print " }"; print "}"
}' > model.old
cp model.old model.new
"$tool" --in-place model.new > /dev/null

# under KB COMMAND...: runs the command under a limit of KB kilobytes. A shell of its
# own waits for it, so that the report of a crash goes to the command's stderr.
under() {
  sh -c 'ulimit -v "$1" || exit 99; shift; "$@"' sh "$@"
}

# Whether the tool starts at all under a limit of $1 KB.
starts_under() {
  under "$1" "$tool" --help > /dev/null 2>&1
}
if ! starts_under 1048576; then
  echo "the tool does not start under a memory limit (a sanitizer build?)"
  exit 77
fi
# The smallest limit under which it starts, to a few KB.
low=1024 floor=1048576
while [ $((floor - low)) -gt 8 ]; do
  middle=$(((low + floor) / 2))
  if starts_under "$middle"; then floor=$middle; else low=$middle; fi
done

failures=0
fail() {
  echo "$mode, ulimit -v $limit: $1"
  sed 's/^/  stderr: /' err | head -5
  failures=$((failures + 1))
}

for mode in rename in-place backup; do
  limit=$((floor - 256))
  successes=0 refusals=0
  while [ "$successes" -lt 4 ] && [ "$limit" -le $((floor + 16384)) ]; do
    rm -f a.x b.x twin.x ./*.orig
    cp model.old a.x
    cp model.old b.x
    backup=
    [ "$mode" = in-place ] && ln a.x twin.x
    [ "$mode" = backup ] && backup="--backup .orig"
    set +e
    # shellcheck disable=SC2086
    under "$limit" "$tool" --in-place $backup a.x b.x > out 2> err
    code=$?
    set -e
    case $code in
      0)
        successes=$((successes + 1))
        cmp -s a.x model.new && cmp -s b.x model.new || fail "exit code 0, but a file is not rewritten"
        if [ "$mode" = backup ]; then cmp -s a.x.orig model.old || fail "exit code 0, but the backup is wrong"; fi
        ;;
      1)
        if grep -q "memory" err; then refusals=$((refusals + 1)); else fail "exit code 1 without a word of memory"; fi
        cmp -s a.x model.old && cmp -s b.x model.old || fail "exit code 1, but a file was changed"
        if ls ./*.orig > /dev/null 2>&1; then fail "exit code 1, but a backup was made"; fi
        ;;
      127)
        # The system's loader could not map the program: none of ours ran.
        grep -q "error while loading shared libraries\|cannot allocate" err || fail "exit code 127"
        cmp -s a.x model.old && cmp -s b.x model.old || fail "the program did not start, but a file was changed"
        ;;
      *)
        fail "exit code $code"
        cmp -s a.x model.old && cmp -s b.x model.old || fail "and a file was changed"
        ;;
    esac
    if grep -q "terminate called" err; then fail "it aborted"; fi
    left=$( (ls -A; ls -A tmp) | grep -c plomaret || true)
    if [ "$left" != 0 ]; then
      fail "$left temporary files left"
      find . -name '*plomaret*' -exec rm -f {} +
    fi
    limit=$((limit + 16))
  done
  if [ "$refusals" = 0 ]; then
    echo "$mode: memory never ran out between $((floor - 256)) and $limit KB"
    failures=$((failures + 1))
  fi
  if [ "$successes" = 0 ]; then
    echo "$mode: no run succeeded up to $limit KB"
    failures=$((failures + 1))
  fi
done

if [ "$failures" != 0 ]; then exit 1; fi
echo "every limit from $((floor - 256)) KB up: rewritten, or refused with a message and nothing changed or left"
