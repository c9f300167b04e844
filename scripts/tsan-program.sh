#!/usr/bin/env bash
# tsan-program.sh BUILD_DIR [RUNS]: runs the program of a ThreadSanitizer build RUNS times at once
# (default 4), all keeping their settings in one --defaults file, so that their saves contend for
# its lock. Each run sets keys of its own many times, a little virtual time apart (one save each);
# then every run must have exited 0 without a report, and every key must be in the file at the
# value its run set last. A run stuck (on the settings file's lock, say) is stopped after a time
# limit and fails. Everything is written into a scratch folder, removed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/run-tsan.sh
build=$1
runs=${2:-4}
saves=300  # per run
keys=10    # per run; key k is set last by save saves - keys + k
limit=120  # seconds a run may take (about 2 s as a rule)

scratch=$(mktemp -d "${TMPDIR:-/tmp}/quillmar-tsan-program.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/.ci/tsan.supp"

for r in $(seq 1 "$runs"); do
  {
    printf '{"description": "Saves of run %s, contending with other runs", "apps": [], "steps": [\n' "$r"
    for i in $(seq 0 $((saves - 1))); do
      printf '  {"do": "setDefault", "key": "tsan.run%s.key%s", "value": %s},\n' "$r" $((i % keys)) "$i"
      printf '  {"do": "advance", "seconds": 0.01}%s\n' "$([ "$i" -lt $((saves - 1)) ] && echo ,)"
    done
    printf ']}\n'
  } >"$scratch/run$r.json"
done

start=$SECONDS
pids=()
for r in $(seq 1 "$runs"); do
  run_tsan timeout --kill-after=10 "$limit" "$build/quillmar" "$scratch/run$r.json" --out "$scratch/out$r" \
    --defaults "$scratch/settings.json" >"$scratch/run$r.log" 2>"$scratch/run$r.err" &
  pids+=($!)
done
failed=0
for r in $(seq 1 "$runs"); do
  status=0
  wait "${pids[r - 1]}" || status=$?
  if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then  # timeout's own statuses
    echo "tsan-program: run $r timed out: stopped after $limit s" >&2
  elif [ "$status" -ne 0 ] || grep -q ThreadSanitizer "$scratch/run$r.err"; then
    echo "tsan-program: run $r exited $status" >&2
  else
    continue
  fi
  head -c 20000 "$scratch/run$r.err" >&2
  failed=1
done
echo "tsan-program: $runs runs of $saves saves each took $((SECONDS - start)) s"
[ "$failed" -eq 0 ] || exit 1

python3 - "$scratch/settings.json" "$runs" "$saves" "$keys" <<'EOF'
import json, sys
path, runs, saves, keys = sys.argv[1], *map(int, sys.argv[2:])
with open(path, encoding="utf-8") as f:
    settings = json.load(f)
wrong = [f"tsan.run{r}.key{k}: {settings.get(f'tsan.run{r}.key{k}')!r}, expected {saves - keys + k}"
         for r in range(1, runs + 1) for k in range(keys)
         if settings.get(f"tsan.run{r}.key{k}") != saves - keys + k]
if wrong:
    sys.exit("tsan-program: keys lost or not at their last value:\n  " + "\n  ".join(wrong))
print(f"tsan-program: all {runs * keys} keys at their last value")
EOF
