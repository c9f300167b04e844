#!/usr/bin/env bash
# fuzz-run.sh BUILD_DIR NAME...: runs each built fuzz target BUILD_DIR/NAME for FUZZ_SECONDS (20 by
# default) from its seed corpus FUZZ_CORPUS/<NAME without _fuzz> (FUZZ_CORPUS: fuzz/corpus), with
# what it finds kept in BUILD_DIR/corpus-<...>. Every target runs; a target that finds a fault (or
# fails to run at all) is named on standard error with the input this run left in
# BUILD_DIR/findings/ (or that it wrote none), and the run exits 1 once all have run. scripts/fuzz.sh builds the targets and calls this.
set -euo pipefail
build=$1
shift
seconds=${FUZZ_SECONDS:-20}
corpus_root=${FUZZ_CORPUS:-fuzz/corpus}
mkdir -p "$build/findings"
failed=()
for name in "$@"; do
  corpus=$corpus_root/${name%_fuzz}
  work=$build/corpus-${name%_fuzz}
  log=$build/$name.log
  mkdir -p "$work"
  echo "== $name ($seconds s)"
  # The text engine keeps fonts and glyphs of every size the drawing target asks for (within its
  # own cache limits), and AddressSanitizer holds freed memory in quarantine: a smaller quarantine
  # and a 3 GB ceiling keep a 20-second run clear of the limit while a runaway still trips it.
  # The target's own status is what counts: its output goes to a log, not through a pipe.
  # What earlier runs left in findings/ is not this run's finding.
  before=$(ls "$build/findings")
  status=0
  ASAN_OPTIONS=detect_leaks=0:quarantine_size_mb=64 UBSAN_OPTIONS=print_stacktrace=1 \
    "$build/$name" -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=3072 \
    -artifact_prefix="$build/findings/$name-" -print_final_stats=1 "$work" "$corpus" >"$log" 2>&1 || status=$?
  grep -E "^(#[0-9]+.*DONE|stat::number_of_executed_units|==[0-9]+== ?ERROR|SUMMARY|INFO: Running with)" "$log" || true
  if [ "$status" -ne 0 ]; then
    echo "$name found a fault (status $status): its output is in $log, its input in $build/findings/:" >&2
    comm -13 <(echo "$before" | sort) <(ls "$build/findings" | sort) | grep -F -- "$name-" >&2 ||
      echo "  (no input was written)" >&2
    failed+=("$name")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing: findings in ${failed[*]}" >&2
  exit 1
fi
echo "fuzzing: no findings"
