#!/bin/sh
# Installs the build into a scratch prefix and checks what a desktop finds there with
# the desktop's own validators: the programs, the desktop entry, the MIME package, the
# icon and the manual page. Exit code 77 (skipped) when a validator is missing.
#   install_layout.sh CMAKE BUILD_DIR PREFIX
set -eu
cmake=$1
build=$2
prefix=$3

for tool in desktop-file-validate xmllint update-mime-database man; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "skipped: $tool is not installed (scripts/install-deps.sh installs it)"
    exit 77
  fi
done

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

rm -rf "$prefix"
work=$(mktemp -d)
trap 'rm -rf "$work" "$prefix"' EXIT
"$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || {
  cat "$work/install.log"
  fail "cmake --install failed"
  exit 1
}

desktop=$prefix/share/applications/plomaret.desktop
mime=$prefix/share/mime/packages/plomaret.xml
icon=$prefix/share/icons/hicolor/scalable/apps/plomaret.svg
manual=$prefix/share/man/man1/plomaret-exchange.1
for program in plomaret plomaret-exchange; do
  [ -x "$prefix/bin/$program" ] || fail "bin/$program is not installed as a program"
done
for file in "$desktop" "$mime" "$icon" "$manual"; do
  [ -s "$file" ] || fail "${file#"$prefix"/} is missing"
done
[ "$failures" = 0 ] || exit 1

# The installed tool runs from its new place.
LC_ALL=C "$prefix/bin/plomaret-exchange" --help >"$work/usage" || fail "the installed plomaret-exchange --help failed"
grep -q '^usage: plomaret-exchange' "$work/usage" || fail "the installed plomaret-exchange printed no usage"
env -u LC_ALL -u LC_MESSAGES LANG=ja_JP.UTF-8 "$prefix/bin/plomaret-exchange" --help >"$work/usage.ja" ||
  fail "the installed plomaret-exchange --help failed in Japanese"
grep -q '^使い方: plomaret-exchange' "$work/usage.ja" || fail "with LANG=ja_JP.UTF-8 the usage is not in Japanese"

# The desktop entry: valid without even a hint, and naming what was installed with it.
desktop-file-validate "$desktop" >"$work/desktop.log" 2>&1 || fail "desktop-file-validate rejects the entry"
[ -s "$work/desktop.log" ] && fail "desktop-file-validate: $(cat "$work/desktop.log")"
entry() { sed -n "s/^$1=//p" "$desktop"; }
case "$(entry Exec)" in
  "plomaret %f") ;;
  *) fail "Exec is '$(entry Exec)', not 'plomaret %f'" ;;
esac
[ "$(entry Icon)" = plomaret ] || fail "Icon is '$(entry Icon)', not the installed plomaret.svg"

# The MIME package: well-formed, read by shared-mime-info without a complaint, and
# defining every type the desktop entry claims.
xmllint --noout "$mime" "$icon" || fail "xmllint rejects the MIME package or the icon"
mkdir -p "$work/mime/packages"
cp "$mime" "$work/mime/packages/"
XDG_DATA_DIRS=$work update-mime-database "$work/mime" >"$work/mime.log" 2>&1 || fail "update-mime-database failed"
[ -s "$work/mime.log" ] && fail "update-mime-database: $(cat "$work/mime.log")"
types=$(entry MimeType | tr ';' ' ' | sed 's/ *$//')
[ -n "$types" ] || fail "the desktop entry claims no MIME type"
for type in $types; do
  [ -f "$work/mime/$type.xml" ] || fail "the MIME package does not define $type"
  grep -qx "[0-9]*:$type:\*\.x" "$work/mime/globs2" || fail "$type has no *.x glob"
  grep -qa "^\[[0-9]*:$type\]" "$work/mime/magic" || fail "$type has no magic"
  grep -qx "$type text/plain" "$work/mime/subclasses" || fail "$type is not a kind of text"
done

# The manual page: rendered without a warning, and naming every option the usage names.
MANWIDTH=80 man --warnings -l "$manual" >"$work/manual.txt" 2>"$work/manual.log" || fail "man cannot render the page"
[ -s "$work/manual.log" ] && fail "man --warnings: $(cat "$work/manual.log")"
options=$(grep -oE -- '(^|[ [])-{1,2}[a-z][a-z-]*' "$work/usage" | tr -d ' [' | sort -u)
[ -n "$options" ] || fail "no option found in the usage text"
for option in $options; do
  grep -qE -- "(^|[ ,])$option([ ,]|$)" "$work/manual.txt" || fail "the manual page does not describe $option"
done

[ "$failures" = 0 ] || exit 1
echo "installed and valid: bin/plomaret, bin/plomaret-exchange, the desktop entry, the MIME type $types, the icon, the manual page"
