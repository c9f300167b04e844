#!/usr/bin/env bash
# build.sh DIR [cmake options...]: configures (once) and builds into DIR with Ninja.
set -euo pipefail
dir=$1; shift
cd "$(dirname "$0")/.."
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S . -B "$dir" -G Ninja "$@"
fi
cmake --build "$dir" -j "$(nproc)"
