#!/usr/bin/env bash
# Installs what is missing, builds everything the tests need and runs every test.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
build="${BUILD_DIR:-$root/build}"
jobs="${JOBS:-$(nproc)}"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --parallel "$jobs"
cd "$build"
ctest --output-on-failure --parallel "$jobs" "$@"
