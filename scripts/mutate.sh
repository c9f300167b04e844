#!/usr/bin/env bash
# mutate.sh [--check] [LIST.txt ...]: a developer's check that the tests guard the rules they are
# meant to.
#
# Each list (default: every file in tests/mutations/) names an area, the test programs that guard
# it, and one-line changes of its rules. Every change is applied on its own to a scratch copy of
# the tree, the area's test programs are rebuilt and run, and the change is reported as
#   caught    a test failed (or the program crashed or timed out),
#   survived  every test passed: no test guards that rule,
#   broken    the changed code did not build (the change is faulty; it counts for neither).
# A summary per area follows. Not part of CI: a full run takes a while.
#
# A change that no longer applies (its FILE is gone or its SEARCH is not found) is reported as
# 'missing', and the run exits 1 after the summary: a list that has stopped reaching the code it
# guards fails rather than shrinking silently. With --check, only that is verified, against the
# tree itself, without copying or building anything (a second; scripts/test.sh runs it).
#
# List format, one change a line (blank lines and lines starting with '#' are skipped):
#   targets: test_festive_hud test_switcher          the test programs of the area (once)
#   area: festive overlay                            the area's name in the report (once)
#   FILE @@ SEARCH @@ REPLACEMENT [@@ NOTE]
# The first line of FILE that contains SEARCH gets its first SEARCH replaced by REPLACEMENT.
# SEARCH must occur in FILE.
#
# Environment: MUTATE_DIR (scratch folder, default /tmp/quillmar-mutate), MUTATE_TIMEOUT
# (seconds a test program may run, default 300), MUTATE_JOBS (build jobs, default nproc).
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
scratch=${MUTATE_DIR:-/tmp/quillmar-mutate}
timeout_s=${MUTATE_TIMEOUT:-300}
jobs=${MUTATE_JOBS:-$(nproc)}

check_only=
if [ "${1:-}" = "--check" ]; then
  check_only=1
  shift
fi
lists=("$@")
if [ ${#lists[@]} -eq 0 ]; then
  lists=(tests/mutations/*.txt)
fi

# Splits a change line into FILE, SEARCH and REPLACEMENT: at '@@', with one space on either side
# of a field dropped, so that an empty REPLACEMENT (a deleted statement) may end the line with '@@'.
# `well_formed` is false when FILE or SEARCH is empty or a separator is missing.
split_py='
def split_change(line):
    def trim(x):
        x = x[1:] if x.startswith(" ") else x
        return x[:-1] if x.endswith(" ") else x
    parts = [trim(p) for p in line.split("@@")] + ["", ""]
    well_formed = line.count("@@") >= 2 and parts[0] != "" and parts[1] != ""
    return parts[0], parts[1], parts[2], well_formed
'

if [ -n "$check_only" ]; then
  python3 -c "$split_py"'
import os, sys
stale = 0
for path in sys.argv[1:]:
    if not os.path.isfile(path):
        print(f"{path}: no such list")
        stale += 1
        continue
    entries = 0
    with open(path, encoding="utf-8") as f:
        lines = f.read().splitlines()
    for line in lines:
        if line == "" or line.startswith(("#", "targets:", "area:")):
            continue
        entries += 1
        file, search, _, well_formed = split_change(line)
        if not well_formed:
            print(f"{path}: not a change: {line}")
        elif not os.path.isfile(file) or os.path.islink(file):
            print(f"{path}: missing   {file} (no such file)")
        else:
            with open(file, encoding="utf-8") as source:
                if any(search in l for l in source):
                    continue
            print(f"{path}: missing   {file}: {search!r} not found")
        stale += 1
    if entries == 0:
        print(f"{path}: no changes listed")
        stale += 1
if stale:
    print(f"mutate.sh --check: {stale} listed change(s) no longer apply; retarget them", file=sys.stderr)
sys.exit(1 if stale else 0)' "${lists[@]}"
  exit $?
fi

echo "bringing the copy of the tree in $scratch up to date" >&2
mkdir -p "$scratch/src-tree"
src="$scratch/src-tree"
# The files git knows and the new ones it does not ignore. A file is copied only when its content
# differs from the copy's, and then gets a fresh time, so that a second run rebuilds only what
# changed; keeping the tree's own times instead could leave an object built from a change newer
# than its restored source, and Ninja would not rebuild it. Files gone from the tree are removed.
git ls-files -co --exclude-standard -z | python3 -c '
import os, shutil, sys
dest = sys.argv[1]
wanted = set(p for p in sys.stdin.buffer.read().decode().split("\0") if p and os.path.isfile(p))
for p in wanted:
    d = os.path.join(dest, p)
    with open(p, "rb") as f:
        data = f.read()
    try:
        with open(d, "rb") as f:
            if f.read() == data:
                continue
    except OSError:
        pass
    os.makedirs(os.path.dirname(d) or ".", exist_ok=True)
    with open(d, "wb") as f:
        f.write(data)
    shutil.copymode(p, d)
for top, dirs, files in os.walk(dest):
    for name in files:
        rel = os.path.relpath(os.path.join(top, name), dest)
        if rel not in wanted:
            os.remove(os.path.join(top, name))
' "$src" || exit 2
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
stale=0
for list in "${lists[@]}"; do
  area=$(basename "$list" .txt)
  targets=()
  caught=0 survived=0 broken=0 missing=0
  while IFS= read -r -u 3 line || [ -n "$line" ]; do
    case "$line" in
      ''|'#'*) continue ;;
      targets:*) read -r -a targets <<<"${line#targets:}"; continue ;;
      area:*) area=$(echo "${line#area:}" | sed 's/^ *//'); continue ;;
    esac
    mapfile -d '' -t fields < <(python3 -c "$split_py"'
import sys
file, search, repl, well_formed = split_change(sys.argv[1])
sys.stdout.write("\0".join([file, search, repl, "1" if well_formed else ""]) + "\0")' "$line")
    file=${fields[0]} search=${fields[1]} repl=${fields[2]}
    if [ -z "${fields[3]}" ]; then
      echo "$list: not a change: $line" >&2; exit 2
    fi
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
  done 3<"$list" </dev/null
  unset baseline_done
  stale=$((stale+missing))
  summary+=("$(printf '%-40s caught %d of %d (survived %d, broken %d, missing %d)' \
    "$area" "$caught" $((caught+survived)) "$survived" "$broken" "$missing")")
done

echo
echo "== summary"
printf '%s\n' "${summary[@]}"
if [ "$stale" -gt 0 ]; then
  echo "$stale listed change(s) no longer apply (reported as missing above); retarget them" >&2
  exit 1
fi
