#!/usr/bin/env bash
# Builds and runs every test: a release build and its Debian package check,
# then the same tests under AddressSanitizer and UndefinedBehaviorSanitizer,
# then a short fuzzing run. Ends with one line that sums up all of them.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
jobs="$(nproc)"
status=0
passed=0
failed=0
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
# Adds a step's outcome to the totals: one check, or ctest's own counts.
tally() { if [ "$1" -eq 0 ]; then passed=$((passed + 1)); else failed=$((failed + 1)); status=1; fi; }
for preset in release sanitize; do
  echo "== $preset build =="
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j"$jobs"
  echo "== $preset tests =="
  set +e
  ctest --preset "$preset" -j"$jobs" </dev/null | tee "$log"
  ctest_status=${PIPESTATUS[0]}
  set -e
  total="$(sed -nE 's/.* tests passed, ([0-9]+) tests failed out of ([0-9]+).*/\2/p' "$log")"
  bad="$(sed -nE 's/.* tests passed, ([0-9]+) tests failed out of ([0-9]+).*/\1/p' "$log")"
  if [ -n "$total" ]; then
    passed=$((passed + total - bad))
    failed=$((failed + bad))
    [ "$ctest_status" -eq 0 ] || status=1
  else
    tally 1
  fi
  if [ "$preset" = release ]; then
    echo "== UCI client (node-uci, moves checked with chess.js) =="
    client_status=0
    node tests/clients/uci_client.mjs "$PWD/build/bin/ormedan" "$PWD/books" 100 </dev/null || client_status=1
    tally "$client_status"
    echo "== Debian package =="
    package_status=0
    { tools/package.sh >/dev/null && tools/check-package.sh; } || package_status=1
    tally "$package_status"
  fi
done
# Coverage-guided fuzzing: 30 s per target.
echo "== fuzz =="
fuzz_status=0
tools/fuzz.sh 30 || fuzz_status=1
tally "$fuzz_status"
echo "all: $passed passed, $failed failed"
exit $status
