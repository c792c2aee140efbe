#!/usr/bin/env bash
# Builds the release engine and its Debian package with CPack:
# build/ormedan_VERSION_ARCH.deb, whose path is the last line written.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh >&2
cmake --preset release >/dev/null
cmake --build --preset release -j"$(nproc)" >&2
rm -f build/ormedan_*.deb
(cd build && cpack -G DEB >&2)
ls build/ormedan_*.deb
