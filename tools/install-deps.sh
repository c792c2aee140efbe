#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
# With --engine, only what building the engine needs (cmake and g++).
set -euo pipefail
engine_only=0
[ "${1:-}" = "--engine" ] && engine_only=1
need=()
command -v cmake >/dev/null 2>&1 || need+=(cmake)
command -v g++ >/dev/null 2>&1 || need+=(g++)
if [ "$engine_only" -eq 0 ]; then
[ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
[ -f /usr/include/benchmark/benchmark.h ] || need+=(libbenchmark-dev)
# the Debian package: its dependency list, the check of its man page, lintian
command -v dpkg-shlibdeps >/dev/null 2>&1 || need+=(dpkg-dev)
command -v file >/dev/null 2>&1 || need+=(file)
command -v man >/dev/null 2>&1 || need+=(man-db)
command -v lintian >/dev/null 2>&1 || need+=(lintian)
# clang and its libFuzzer runtime, for tools/fuzz.sh
command -v clang++ >/dev/null 2>&1 || need+=(clang)
compgen -G "/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-*.a" >/dev/null || need+=(libclang-rt-14-dev)
# Node.js and npm, for the UCI client test (tests/clients)
command -v node >/dev/null 2>&1 || need+=(nodejs)
command -v npm >/dev/null 2>&1 || need+=(npm)
fi
if [ ${#need[@]} -gt 0 ]; then
  echo "installing: ${need[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${need[@]}"
fi
# The UCI client test's npm packages, as the lock file pins them.
[ "$engine_only" -eq 1 ] && exit 0
if [ ! -d "$(dirname "$0")/../tests/clients/node_modules/node-uci" ]; then
  (cd "$(dirname "$0")/../tests/clients" && npm ci --no-audit --no-fund --loglevel=error)
fi
