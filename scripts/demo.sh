#!/usr/bin/env bash
# Main job: set up, build Vorrel.clap and Vorrel.lv2 in Release, install them into ~/.clap and ~/.lv2, describe
# them and render demo.wav through the CLAP build.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build/release" -j"$(nproc)" --target Vorrel Vorrel_lv2 vorrel-host vorrel-lv2host
mkdir -p "$HOME/.clap"
install -m 0644 "$root/build/release/plugin/Vorrel.clap" "$HOME/.clap/Vorrel.clap"
install -m 0644 "$root/build/release/plugin/Vorrel-fonts-LICENSE.txt" "$HOME/.clap/Vorrel-fonts-LICENSE.txt"
echo "installed $HOME/.clap/Vorrel.clap"
# The bundle is replaced whole, so files of an older build never linger in it.
rm -rf "$HOME/.lv2/Vorrel.lv2"
mkdir -p "$HOME/.lv2/Vorrel.lv2"
install -m 0644 "$root"/build/release/plugin/Vorrel.lv2/*.ttl "$HOME/.lv2/Vorrel.lv2/"
install -m 0755 "$root/build/release/plugin/Vorrel.lv2/Vorrel.so" "$HOME/.lv2/Vorrel.lv2/Vorrel.so"
install -m 0644 "$root/build/release/plugin/Vorrel-fonts-LICENSE.txt" "$HOME/.lv2/Vorrel.lv2/Vorrel-fonts-LICENSE.txt"
echo "installed $HOME/.lv2/Vorrel.lv2"
host="$root/build/release/tools/host/vorrel-host"
"$host" info "$HOME/.clap/Vorrel.clap"
"$host" render "$HOME/.clap/Vorrel.clap" --out "$root/demo.wav"
lv2info="$(LV2_PATH="$HOME/.lv2" "$root/build/release/tools/lv2host/vorrel-lv2host" info urn:oskelaudio:vorrel)"
echo "Vorrel.lv2 (urn:oskelaudio:vorrel): $(grep -c '^  port ' <<<"$lv2info") ports, $(grep -c '^  preset ' <<<"$lv2info") presets"
