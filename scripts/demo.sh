#!/usr/bin/env bash
# Main job: set up, build Vorrel.clap in Release, install it into ~/.clap, describe it and render demo.wav through it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build/release" -j"$(nproc)" --target Vorrel vorrel-host
mkdir -p "$HOME/.clap"
install -m 0644 "$root/build/release/plugin/Vorrel.clap" "$HOME/.clap/Vorrel.clap"
install -m 0644 "$root/build/release/plugin/Vorrel-fonts-LICENSE.txt" "$HOME/.clap/Vorrel-fonts-LICENSE.txt"
echo "installed $HOME/.clap/Vorrel.clap"
host="$root/build/release/tools/host/vorrel-host"
"$host" info "$HOME/.clap/Vorrel.clap"
"$host" render "$HOME/.clap/Vorrel.clap" --out "$root/demo.wav"
