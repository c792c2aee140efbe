#!/usr/bin/env bash
# Builds the engine alone (release, without the tests and benchmarks) and
# starts it in the books folder, ready to play.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh --engine >&2
cmake --preset engine >/dev/null
cmake --build --preset engine -j"$(nproc)" >&2
cd books
exec ../build-engine/bin/ormedan "$@"
