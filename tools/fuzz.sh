#!/usr/bin/env bash
# Coverage-guided fuzzing of the engine's inputs with libFuzzer (clang,
# AddressSanitizer + UBSan): builds the fuzz preset into build-fuzz/bin/ and
# runs each target for SECONDS on a scratch copy of its seed corpus.
#
#   tools/fuzz.sh [--parallel] SECONDS [TARGET...]
#
# Targets: fuzz_session (command lines and moves), fuzz_books (the three book
# files and a game), fuzz_fen (the tools' FEN loader); all three by default.
# --parallel runs the targets at the same time (otherwise one after the other).
#
# Exits non-zero when a target crashes, leaks, times out (one input over
# FUZZ_TIMEOUT seconds, default 20) or a sanitizer reports anything. The
# input that did it is saved as build-fuzz/artifacts/<target>-crash-<sha1>
# (or -leak-, -timeout-, -oom-); reproduce it with
#
#   build-fuzz/bin/fuzz_session build-fuzz/artifacts/fuzz_session-crash-...
#
# The run's corpus grows in build-fuzz/corpus/<target>/; the committed seed
# corpus in tests/fuzz/corpus/<target>/ changes only by an explicit merge,
# which adds just the inputs that bring new coverage (-use_counters=0: new
# edges only, not new hit counts, which keeps the corpus to a few hundred
# files):
#
#   build-fuzz/bin/fuzz_session -merge=1 -use_counters=0 tests/fuzz/corpus/fuzz_session build-fuzz/corpus/fuzz_session
#
# The last lines give per target: executions, executions per second and the
# coverage of libFuzzer's last status line (cov: edges, ft: features).
set -euo pipefail
cd "$(dirname "$0")/.."

parallel=0
if [ "${1:-}" = "--parallel" ]; then
  parallel=1
  shift
fi
seconds="${1:-}"
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -lt 1 ]; then
  echo "usage: tools/fuzz.sh [--parallel] SECONDS [TARGET...]" >&2
  exit 2
fi
shift
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_session fuzz_books fuzz_fen)
timeout="${FUZZ_TIMEOUT:-20}"

tools/install-deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)" --target "${targets[@]}"

mkdir -p build-fuzz/artifacts build-fuzz/logs

# Longest input per target: a session of a few hundred lines; three books of
# a few hundred lines and a game; a FEN.
max_len() {
  case "$1" in
    fuzz_books) echo 16384 ;;
    fuzz_fen) echo 512 ;;
    *) echo 4096 ;;
  esac
}

run_target() {
  local t="$1"
  local scratch="build-fuzz/corpus/$t"
  rm -rf "$scratch"
  mkdir -p "$scratch"
  cp tests/fuzz/corpus/"$t"/* "$scratch"/
  rm -f build-fuzz/artifacts/"$t"-*
  local dict=()
  [ -f tests/fuzz/"$t".dict ] && dict=(-dict=tests/fuzz/"$t".dict)
  local status=0
  build-fuzz/bin/"$t" -max_total_time="$seconds" -timeout="$timeout" -max_len="$(max_len "$t")" \
    -print_final_stats=1 -artifact_prefix=build-fuzz/artifacts/"$t"- "${dict[@]}" "$scratch" \
    >build-fuzz/logs/"$t".log 2>&1 || status=$?
  echo "$status" >build-fuzz/logs/"$t".status
}

if [ "$parallel" -eq 1 ]; then
  pids=()
  for t in "${targets[@]}"; do
    run_target "$t" &
    pids+=($!)
  done
  for p in "${pids[@]}"; do wait "$p"; done
else
  for t in "${targets[@]}"; do
    echo "== $t: ${seconds} s ==" >&2
    run_target "$t"
  done
fi

failed=0
summary=()
for t in "${targets[@]}"; do
  log="build-fuzz/logs/$t.log"
  status="$(cat build-fuzz/logs/"$t".status)"
  problem=""
  [ "$status" -ne 0 ] && problem="exit status $status"
  if grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:|==[0-9]+==ERROR|fuzz fault' "$log"; then
    problem="${problem:+$problem, }sanitizer or fuzzer report"
  fi
  # (slow-unit- files only note inputs over 10 s; -timeout decides)
  for kind in crash leak timeout oom; do
    if compgen -G "build-fuzz/artifacts/$t-$kind-*" >/dev/null; then
      problem="${problem:+$problem, }artifact $(ls build-fuzz/artifacts/"$t"-"$kind"-* | head -1)"
    fi
  done
  execs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)"
  rate="$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)"
  last="$(grep -E '^#[0-9]+' "$log" | grep ' cov: ' | tail -1 || true)"
  cov="$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")"
  ft="$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")"
  corpus="$(ls "build-fuzz/corpus/$t" | wc -l)"
  if [ -n "$problem" ]; then
    failed=1
    echo "== $t FAILED ($problem); log: $log ==" >&2
    grep -E -A30 'ERROR|runtime error|fuzz fault' "$log" | head -60 >&2 || true
  fi
  summary+=("$t: ${execs:-0} executions, ${rate:-0} exec/s, cov ${cov:-?} ft ${ft:-?}, corpus $corpus${problem:+, FAILED}")
done
printf '%s\n' "${summary[@]}"
exit $failed
