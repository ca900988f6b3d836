#!/usr/bin/env bash
# The main job: builds the bundled example and writes it as a .zym file.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
build="${BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target zym-example >/dev/null
mkdir -p "$root/out"
"$build/UniModelDesc/zym-example" "$root/out/example.zym"
