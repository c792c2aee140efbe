#!/usr/bin/env bash
# Builds and runs every test: a release build, then the same tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, then a short fuzzing run.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
jobs="$(nproc)"
status=0
for preset in release sanitize; do
  echo "== $preset build =="
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j"$jobs"
  echo "== $preset tests =="
  ctest --preset "$preset" -j"$jobs" </dev/null || status=1
done
# Coverage-guided fuzzing: 30 s per target.
echo "== fuzz =="
tools/fuzz.sh 30 || status=1
exit $status
