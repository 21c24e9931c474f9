#!/bin/sh
# Builds korvex and starts it.  Without KVHOME it runs on a demo program
# folder of its own (build/demo); arguments are passed on (terminal number).
set -e
cd "$(dirname "$0")/.."
./scripts/deps.sh
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKX_TESTS=OFF >/dev/null
cmake --build build/release -j "$jobs" --target korvex
if [ -z "$KVHOME" ]; then
  mkdir -p build/demo
  KVHOME="$(pwd)/build/demo"
  export KVHOME
fi
exec build/release/korvex "$@"
