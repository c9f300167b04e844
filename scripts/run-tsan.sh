# Sourced by .ci/run and scripts/tsan-program.sh: run_tsan COMMAND [ARGS...] runs a command of a
# ThreadSanitizer build. TSan's shadow memory needs the classic address-space layout on kernels
# with large ASLR.
run_tsan() { if setarch "$(uname -m)" -R true 2>/dev/null; then setarch "$(uname -m)" -R "$@"; else "$@"; fi; }
