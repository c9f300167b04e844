#!/usr/bin/env bash
# Builds the fuzz targets of fuzz/ with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs each for a bounded time (FUZZ_SECONDS, 20 by default)
# from its seed corpus in fuzz/corpus/<name>/. A finding stops the run with a non-zero status and
# leaves the crashing input in build-fuzz/findings/.
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
seconds=${FUZZ_SECONDS:-20}
mkdir -p build-fuzz/findings
for target in fuzz/*_fuzz.cpp; do
  name=$(basename "$target" .cpp)
  corpus=fuzz/corpus/${name%_fuzz}
  work=build-fuzz/corpus-${name%_fuzz}
  mkdir -p "$work"
  echo "== $name ($seconds s)"
  # The text engine keeps fonts and glyphs of every size the drawing target asks for (within its
  # own cache limits), and AddressSanitizer holds freed memory in quarantine: a smaller quarantine
  # and a 3 GB ceiling keep a 20-second run clear of the limit while a runaway still trips it.
  ASAN_OPTIONS=detect_leaks=0:quarantine_size_mb=64 UBSAN_OPTIONS=print_stacktrace=1 \
    "./build-fuzz/$name" -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=3072 \
    -artifact_prefix=build-fuzz/findings/"$name"- -print_final_stats=1 "$work" "$corpus" 2>&1 |
    grep -E "^(#[0-9]+.*DONE|stat::number_of_executed_units|==[0-9]+==ERROR|SUMMARY|INFO: Running with)" || true
  status=${PIPESTATUS[0]}
  if [ "$status" -ne 0 ]; then
    echo "$name found a fault (status $status); inputs in build-fuzz/findings/" >&2
    exit 1
  fi
done
echo "fuzzing: no findings"
