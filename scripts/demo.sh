#!/usr/bin/env bash
# Builds Quillmar and runs the demo scenario on the simulated desktop.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build -DQUILLMAR_BUILD_TESTS=OFF -DQUILLMAR_BUILD_BENCHMARKS=OFF
mkdir -p out/demo
./build/quillmar scenarios/demo.json --out out/demo
