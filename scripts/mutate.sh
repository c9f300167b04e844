#!/usr/bin/env bash
# mutate.sh [LIST.txt ...]: a developer's check that the tests guard the rules they are meant to.
#
# Each list (default: every file in tests/mutations/) names an area, the test programs that guard
# it, and one-line changes of its rules. Every change is applied on its own to a scratch copy of
# the tree, the area's test programs are rebuilt and run, and the change is reported as
#   caught    a test failed (or the program crashed or timed out),
#   survived  every test passed: no test guards that rule,
#   broken    the changed code did not build (the change is faulty; it counts for neither).
# A summary per area follows. Not part of CI: a full run takes a while.
#
# List format, one change a line (blank lines and lines starting with '#' are skipped):
#   targets: test_festive_hud test_switcher          the test programs of the area (once)
#   area: festive overlay                            the area's name in the report (once)
#   FILE @@ SEARCH @@ REPLACEMENT [@@ NOTE]
# The first line of FILE that contains SEARCH gets its first SEARCH replaced by REPLACEMENT.
# SEARCH must occur in FILE; a change whose SEARCH is not found is reported as 'missing'.
#
# Environment: MUTATE_DIR (scratch folder, default /tmp/quillmar-mutate), MUTATE_TIMEOUT
# (seconds a test program may run, default 300), MUTATE_JOBS (build jobs, default nproc).
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
scratch=${MUTATE_DIR:-/tmp/quillmar-mutate}
timeout_s=${MUTATE_TIMEOUT:-300}
jobs=${MUTATE_JOBS:-$(nproc)}

lists=("$@")
if [ ${#lists[@]} -eq 0 ]; then
  lists=(tests/mutations/*.txt)
fi

echo "copying the tree to $scratch" >&2
mkdir -p "$scratch"
rm -rf "$scratch/src-tree" && mkdir -p "$scratch/src-tree"
# The files git knows and the new ones it does not ignore, with their times kept, so that a
# second run rebuilds only what changed since the first.
git ls-files -co --exclude-standard -z | xargs -0 cp -a --parents -t "$scratch/src-tree/"
src="$scratch/src-tree"
build="$scratch/build"
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUILLMAR_BUILD_BENCHMARKS=OFF >&2 || exit 2
fi

# Applies one change to the scratch copy; prints nothing, returns 1 when SEARCH is not in FILE.
apply_change() {
  python3 - "$1" "$2" "$3" <<'PY'
import sys
path, search, repl = sys.argv[1], sys.argv[2], sys.argv[3]
with open(path, encoding="utf-8") as f:
    lines = f.readlines()
for i, line in enumerate(lines):
    if search in line:
        lines[i] = line.replace(search, repl, 1)
        break
else:
    sys.exit(1)
with open(path, "w", encoding="utf-8") as f:
    f.writelines(lines)
PY
}

run_targets() {
  local t
  for t in "$@"; do
    (cd "$src" && timeout "$timeout_s" "$build/$t" --gtest_brief=1 >/dev/null 2>&1) || return 1
  done
  return 0
}

summary=()
for list in "${lists[@]}"; do
  area=$(basename "$list" .txt)
  targets=()
  caught=0 survived=0 broken=0 missing=0
  while IFS= read -r line || [ -n "$line" ]; do
    case "$line" in
      ''|'#'*) continue ;;
      targets:*) read -r -a targets <<<"${line#targets:}"; continue ;;
      area:*) area=$(echo "${line#area:}" | sed 's/^ *//'); continue ;;
    esac
    file=$(awk -F' @@ ' '{print $1}' <<<"$line")
    search=$(awk -F' @@ ' '{print $2}' <<<"$line")
    repl=$(awk -F' @@ ' '{print $3}' <<<"$line")
    if [ ${#targets[@]} -eq 0 ]; then
      echo "$list: no 'targets:' line before the first change" >&2; exit 2
    fi
    # Baseline once per list: the area's programs must build and pass unchanged.
    if [ -z "${baseline_done:-}" ]; then
      cmake --build "$build" -j "$jobs" --target "${targets[@]}" >/dev/null 2>&1 \
        || { echo "$list: the unchanged tree does not build" >&2; exit 2; }
      run_targets "${targets[@]}" || { echo "$list: the unchanged tests fail" >&2; exit 2; }
      baseline_done=1
    fi
    cp "$src/$file" "$scratch/original" 2>/dev/null || { echo "missing   $file (no such file)"; missing=$((missing+1)); continue; }
    if ! apply_change "$src/$file" "$search" "$repl"; then
      echo "missing   $file: '$search' not found"; missing=$((missing+1)); continue
    fi
    if ! cmake --build "$build" -j "$jobs" --target "${targets[@]}" >/dev/null 2>&1; then
      verdict=broken; broken=$((broken+1))
    elif run_targets "${targets[@]}"; then
      verdict=survived; survived=$((survived+1))
    else
      verdict=caught; caught=$((caught+1))
    fi
    cp "$scratch/original" "$src/$file"
    printf '%-9s %s: %s -> %s\n' "$verdict" "$file" "$search" "$repl"
  done <"$list"
  unset baseline_done
  summary+=("$(printf '%-40s caught %d of %d (survived %d, broken %d, missing %d)' \
    "$area" "$caught" $((caught+survived)) "$survived" "$broken" "$missing")")
done

echo
echo "== summary"
printf '%s\n' "${summary[@]}"
