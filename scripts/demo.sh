#!/usr/bin/env bash
# Builds Quillmar and runs the demo scenarios on the simulated desktop: scenarios/demo.json first,
# then every other scenario in scenarios/, one after the other. Standard output is the event log
# alone (one JSON object a line); installing and building report on standard error. The pictures
# and their index page go to out/demo/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh >&2
bash scripts/build.sh build -DQUILLMAR_BUILD_TESTS=OFF -DQUILLMAR_BUILD_BENCHMARKS=OFF >&2
rm -rf out/demo
mkdir -p out/demo
scenarios=(scenarios/demo.json)
for f in scenarios/*.json; do
  [ "$f" = scenarios/demo.json ] || scenarios+=("$f")
done
./build/quillmar "${scenarios[@]}" --out out/demo
