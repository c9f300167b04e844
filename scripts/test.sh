#!/usr/bin/env bash
# Builds Quillmar with its tests and runs the whole suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
# A mutation list whose changes no longer reach the code fails the suite (no build: a second).
bash scripts/mutate.sh --check
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
bash scripts/build.sh build-tests -DQUILLMAR_WERROR=$werror -DQUILLMAR_BUILD_BENCHMARKS=ON
ctest --test-dir build-tests --output-on-failure -j "$(nproc)"
