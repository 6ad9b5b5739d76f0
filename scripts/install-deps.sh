#!/bin/sh
# Installs the Debian packages that building and testing need, when missing.
# Run as root (CI does); otherwise it uses sudo when there is one.
set -eu

packages="g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev libbenchmark-dev
clang libclang-rt-14-dev python3 mawk
qt6-base-dev qt6-base-dev-tools libgl-dev fonts-vlgothic fonts-ipafont-gothic xvfb
fcitx5 fcitx5-mozc fcitx5-frontend-qt6 xdotool xclip dbus dbus-bin dbus-daemon util-linux
desktop-file-utils libxml2-utils shared-mime-info man-db"

missing=""
for package in $packages; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $package"
  fi
done
[ -z "$missing" ] && exit 0

echo "install-deps: installing$missing"
if [ "$(id -u)" -eq 0 ]; then
  as_root=""
elif command -v sudo >/dev/null 2>&1; then
  as_root="sudo"
else
  echo "install-deps: these packages are missing and I am not root:$missing" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
$as_root apt-get update -q
# shellcheck disable=SC2086
$as_root apt-get install -y -q --no-install-recommends $missing
