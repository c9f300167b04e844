#!/usr/bin/env bash
# Builds Quillmar and runs the demo scenarios on the simulated desktop, one after the other:
# scenarios/demo.json first, then the others as the README's table lists them. Standard output is
# the event log alone (one JSON object a line); installing and building report on standard error.
# The pictures and their index page go to out/demo/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh >&2
bash scripts/build.sh build -DQUILLMAR_BUILD_TESTS=OFF -DQUILLMAR_BUILD_BENCHMARKS=OFF >&2
rm -rf out/demo
mkdir -p out/demo
# In the order the README tells the story (so the index page's sections follow it), then any other.
scenarios=()
for name in demo switch_bar many_windows app_shell settings_window settings_stage festive seasonal scenes_1 scenes_2; do
  [ -f "scenarios/$name.json" ] && scenarios+=("scenarios/$name.json")
done
for f in scenarios/*.json; do
  [[ " ${scenarios[*]} " == *" $f "* ]] || scenarios+=("$f")
done
./build/quillmar "${scenarios[@]}" --out out/demo
