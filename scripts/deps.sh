#!/bin/sh
# Installs the Debian packages the build and the tests need (as root), or
# prints the apt-get line to run when it cannot.
set -e
PACKAGES="cmake g++ make googletest libgtest-dev libgmock-dev libbenchmark-dev libncurses-dev tmux python3-dbfread python3-dbf"

missing=""
for p in $PACKAGES; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  echo "Installing:$missing"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  # shellcheck disable=SC2086
  apt-get install -y -qq $missing
else
  echo "Missing Debian packages. Run as root:" >&2
  echo "  apt-get install -y$missing" >&2
  exit 1
fi
