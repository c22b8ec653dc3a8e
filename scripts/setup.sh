#!/usr/bin/env bash
# Installs every Debian and npm package the build, the tests and the demo need; idempotent and quick when all is there.
set -euo pipefail

# One line per group, so a subsystem adds its packages in one place.
APT_PACKAGES=(
  # toolchain and test tools
  build-essential cmake ninja-build pkg-config binutils clang
  libgtest-dev libgmock-dev libbenchmark-dev
  # CLAP headers (and later pugl, NanoVG) from Debian's DPF sources
  dpf-source
  # host: WAV writing and Standard MIDI File reading
  libsndfile1-dev libsmf-dev
  # machine memory
  libboost-dev
  # presets: locale sources, so a test can run the parser under a decimal-comma locale
  locales
  # panel pixel checks through NanoVG's GL back-end on Mesa under Xvfb
  libgl-dev libx11-dev libgl1-mesa-dri libglx-mesa0 xvfb
)
NPM_PACKAGES=(
  # editor fonts arrive with the editor
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${APT_PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ "${#missing[@]}" -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

if [ "${#NPM_PACKAGES[@]}" -gt 0 ]; then
  here="$(cd "$(dirname "$0")/.." && pwd)"
  mkdir -p "$here/build/npm"
  for p in "${NPM_PACKAGES[@]}"; do
    if [ ! -d "$here/build/npm/node_modules/$p" ]; then
      (cd "$here/build/npm" && npm install --no-save --silent "$p")
    fi
  done
fi
