#!/usr/bin/env bash
# Builds and runs every test: a release build and its Debian package check,
# then the same tests under AddressSanitizer and UndefinedBehaviorSanitizer.
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
  if [ "$preset" = release ]; then
    echo "== Debian package =="
    { tools/package.sh >/dev/null && tools/check-package.sh; } || status=1
  fi
done
exit $status
