#!/usr/bin/env bash
# Builds the engine (release) and starts it in the books folder, ready to play.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh >&2
cmake --preset release >/dev/null
cmake --build --preset release -j"$(nproc)" >&2
cd books
exec ../build/bin/ormedan
