#!/bin/sh
# Runs one test program with its own /dev/shm and its own data and config directories, so that it never
# meets the machine's real memory segment or the user's files. Without the rights for a private mount
# namespace only the directories are private, and tests that need the private segment skip themselves.
dir=$(mktemp -d /tmp/vorrel-test-XXXXXX) || exit 1
trap 'rm -rf "$dir"' EXIT INT TERM
export XDG_DATA_HOME="$dir/data" XDG_CONFIG_HOME="$dir/config"
if unshare -m true 2>/dev/null; then
  VORREL_TEST_PRIVATE_SHM=1 unshare -m sh -c \
    'mount -t tmpfs -o size=256m,mode=1777 vorrel-test-shm /dev/shm && exec "$@"' sh "$@"
else
  "$@"
fi
