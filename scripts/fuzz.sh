#!/usr/bin/env bash
# Builds the fuzz targets of fuzz/ with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs each for a bounded time (FUZZ_SECONDS, 20 by default)
# from its seed corpus in fuzz/corpus/<name>/ (scripts/fuzz-run.sh). A finding of any target
# makes the run exit non-zero once every target has run, naming the target and leaving its input
# in build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
missing=()
for p in clang libclang-rt-14-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq >&2
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
fi
CC=clang CXX=clang++ bash scripts/build.sh build-fuzz -DQUILLMAR_FUZZ=ON -DQUILLMAR_BUILD_TESTS=OFF \
  -DQUILLMAR_BUILD_BENCHMARKS=OFF -DQUILLMAR_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUILLMAR_SANITIZE=address,undefined
names=()
for target in fuzz/*_fuzz.cpp; do names+=("$(basename "$target" .cpp)"); done
bash scripts/fuzz-run.sh build-fuzz "${names[@]}"
