#!/usr/bin/env bash
# The fuzz stage fails on a finding: scripts/fuzz-run.sh is run on stand-in targets that answer as
# libFuzzer does (a fault: the input written under -artifact_prefix, "deadly signal", status 77),
# and must exit non-zero naming the crashing target, having run the targets after it, with the
# input left; with targets that find nothing it exits 0.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d "${TMPDIR:-/tmp}/quillmar-fuzz-run.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir -p "$scratch/build" "$scratch/corpus/quiet" "$scratch/corpus/crashing" "$scratch/corpus/later"
target() {  # target NAME STATUS: a stand-in that records its run and ends with STATUS
  cat >"$scratch/build/$1" <<STUB
#!/usr/bin/env bash
touch "$scratch/ran-$1"
for arg in "\$@"; do case \$arg in -artifact_prefix=*) prefix=\${arg#-artifact_prefix=};; esac; done
if [ "$2" -ne 0 ]; then
  printf '{"a":"\\\\ud0dA' >"\${prefix}crash-0123"
  echo "==4242== ERROR: libFuzzer: deadly signal"
  echo "SUMMARY: libFuzzer: deadly signal"
fi
echo "Done 10 runs in 1 second(s)"
exit $2
STUB
  chmod +x "$scratch/build/$1"
}
target quiet_fuzz 0
target crashing_fuzz 77
target later_fuzz 0

run() { FUZZ_SECONDS=1 FUZZ_CORPUS="$scratch/corpus" bash "$root/scripts/fuzz-run.sh" "$scratch/build" "$@"; }

# An input an earlier run left is not named as this run's.
mkdir -p "$scratch/build/findings"
touch "$scratch/build/findings/crashing_fuzz-crash-earlier"
status=0
run quiet_fuzz crashing_fuzz later_fuzz >"$scratch/out" 2>"$scratch/err" || status=$?
[ "$status" -ne 0 ] || fail "a crashing target left the stage green"
grep -q "crashing_fuzz found a fault (status 77)" "$scratch/err" || fail "the crashing target is not named: $(cat "$scratch/err")"
grep -q "crashing_fuzz-crash-0123" "$scratch/err" || fail "its input is not named"
grep -q "crash-earlier" "$scratch/err" && fail "an earlier run's input is named as this run's"
[ -s "$scratch/build/findings/crashing_fuzz-crash-0123" ] || fail "its input was not left"
grep -q "SUMMARY: libFuzzer: deadly signal" "$scratch/out" || fail "the finding's summary is not shown"
[ -e "$scratch/ran-later_fuzz" ] || fail "the targets after a finding did not run"
grep -q "no findings" "$scratch/out" && fail "a run with a finding said there were none"

run quiet_fuzz later_fuzz >"$scratch/out" 2>"$scratch/err" || fail "targets without findings failed the stage: $(cat "$scratch/err")"
grep -q "fuzzing: no findings" "$scratch/out" || fail "a clean run did not say so"
echo "fuzz stage: a finding fails it, none passes it"
