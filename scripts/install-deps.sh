#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the benchmarks need.
# Idempotent: prints nothing and touches nothing when all is present.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  liblua5.1-0-dev          # the embedded script language (Lua 5.1)
  nlohmann-json3-dev       # JSON for scene files and model descriptions
  libgtest-dev libgmock-dev googletest
  libbenchmark-dev         # benchmarks
  libmeshoptimizer-dev     # reference for the welding benchmark
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing: ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq >/dev/null
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
