#!/usr/bin/env bash
# All tests: set up, then build and run every test in Release, in Debug with ASan+UBSan, and the thread tests under TSan.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"
jobs="$(nproc)"

# configure NAME TARGETS -- CMAKE_ARGS...; TARGETS "all" builds everything.
build_config() {
  local name="$1" targets="$2"; shift 3
  echo "=== build $name ==="
  cmake -S "$root" -B "$root/build/$name" -G Ninja "$@" >/dev/null
  if [ "$targets" = all ]; then
    cmake --build "$root/build/$name" -j"$jobs"
  else
    cmake --build "$root/build/$name" -j"$jobs" --target $targets
  fi
}

build_config release all -- -DCMAKE_BUILD_TYPE=Release
build_config asan all -- -DCMAKE_BUILD_TYPE=Debug -DVORREL_SANITIZE=address,undefined -DVORREL_BUILD_BENCH=OFF
# ThreadSanitizer only needs the cross-thread tests.
build_config tsan "Vorrel vorrel-host framework_thread_tests shell_thread_tests machine_tests user_files_guard" -- -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORREL_SANITIZE=thread \
  -DVORREL_BUILD_BENCH=OFF

status=0
(cd "$root/build/tsan" && TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" ctest -L threads --output-on-failure -j"$jobs") || status=1
(cd "$root/build/asan" && ASAN_OPTIONS="detect_leaks=1" UBSAN_OPTIONS="print_stacktrace=1" ctest --output-on-failure -j"$jobs") || status=1
(cd "$root/build/release" && ctest --output-on-failure -j"$jobs") || status=1
exit $status
