#!/usr/bin/env bash
# Installs what is missing, builds ryQt with its tests, and runs them twice: once in a normal
# build, once with AddressSanitizer and UndefinedBehaviorSanitizer (leak checks on).
#
#   bash scripts/test.sh [--no-sanitizers]
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
sanitize=1
[ "${1:-}" = "--no-sanitizers" ] && sanitize=0

bash "$root/scripts/deps.sh"
jobs=$(nproc)

run_suite() {
  local build=$1; shift
  echo "== configuring $build"
  cmake -S "$root" -B "$build" "$@"
  echo "== building $build"
  cmake --build "$build" --parallel "$jobs"
  echo "== testing $build"
  ctest --test-dir "$build" --output-on-failure --parallel "$jobs"
}

run_suite "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
if [ "$sanitize" -eq 1 ]; then
  run_suite "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DRYQT_SANITIZE=ON -DRYQT_BUILD_EXAMPLES=OFF -DRYQT_BUILD_BENCHMARKS=OFF
fi
