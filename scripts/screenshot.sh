#!/usr/bin/env bash
# Regenerates docs/panel.png, the README's picture of the editor: builds Vorrel.clap and vorrel-host, opens the
# editor on a private Xvfb with a fresh memory and reads it back.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build/release" -j"$(nproc)" --target Vorrel vorrel-host

exec 3< <(Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp 2>/dev/null)
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT
read -r display <&3
mkdir -p "$root/docs"
# isolated.sh gives the instance its own memory, so the picture never shows this machine's playing.
DISPLAY=":$display" LIBGL_ALWAYS_SOFTWARE=1 "$root/tests/support/isolated.sh" \
  "$root/build/release/tools/host/vorrel-host" screenshot "$root/build/release/plugin/Vorrel.clap" \
  --out "$root/docs/panel.png" --size 960x660 --frames 90
