#!/bin/sh
# Builds everything with AddressSanitizer and UBSan, warnings as errors, and
# runs every test.  Exits non-zero on any failure.
set -e
cd "$(dirname "$0")/.."
./scripts/deps.sh
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Debug -DKX_SANITIZE=ON -DKX_WERROR=ON
cmake --build build/test -j "$jobs"
ctest --test-dir build/test --output-on-failure -j "$jobs"
