#!/usr/bin/env bash
# All tests: set up, then build and run every test in Release, in Debug with ASan+UBSan, and the thread tests under TSan.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"
jobs="$(nproc)"

run_config() {
  local name="$1"; shift
  echo "=== $name ==="
  cmake -S "$root" -B "$root/build/$name" -G Ninja "$@" >/dev/null
  cmake --build "$root/build/$name" -j"$jobs"
}

run_config release -DCMAKE_BUILD_TYPE=Release
run_config asan -DCMAKE_BUILD_TYPE=Debug -DVORREL_SANITIZE=address,undefined -DVORREL_BUILD_BENCH=OFF
run_config tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORREL_SANITIZE=thread -DVORREL_BUILD_BENCH=OFF

status=0
(cd "$root/build/tsan" && TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" ctest -L threads --output-on-failure -j"$jobs") || status=1
(cd "$root/build/asan" && ASAN_OPTIONS="detect_leaks=1" UBSAN_OPTIONS="print_stacktrace=1" ctest --output-on-failure -j"$jobs") || status=1
(cd "$root/build/release" && ctest --output-on-failure -j"$jobs") || status=1
exit $status
