#!/bin/sh
# Runs one test program against a memory segment, home, data and config directories of its own, so that it never
# meets the user's memory, memory.bin or preset library, whoever runs it. Where a private mount namespace is
# allowed (root) it also gets a private /dev/shm, and tests that need one (other users, the old segment name) run.
dir=$(mktemp -d /tmp/vorrel-test-XXXXXX) || exit 1
segment=$(basename "$dir" | tr -c 'A-Za-z0-9\n' '_')
trap 'rm -rf "$dir"; rm -f "/dev/shm/$segment"' EXIT
trap 'exit 130' INT TERM
mkdir -p "$dir/home" "$dir/data" "$dir/config" || exit 1
export HOME="$dir/home" XDG_DATA_HOME="$dir/data" XDG_CONFIG_HOME="$dir/config" VORREL_MEMORY_SEGMENT="$segment"
if unshare -m true 2>/dev/null; then
  VORREL_TEST_PRIVATE_SHM=1 unshare -m sh -c \
    'mount -t tmpfs -o size=256m,mode=1777 vorrel-test-shm /dev/shm && exec "$@"' sh "$@"
else
  "$@"
fi
