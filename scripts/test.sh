#!/usr/bin/env bash
# Builds Quillmar with its tests and runs the whole suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
bash scripts/build.sh build-tests -DQUILLMAR_WERROR=$werror -DQUILLMAR_BUILD_BENCHMARKS=ON
ctest --test-dir build-tests --output-on-failure -j "$(nproc)"
