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
  # editor: X11 and GL for pugl (from dpf-source), the GL loader generator, font subsetting, PNG screenshots,
  # and Xvfb with Mesa's software GL for the editor tests
  python3-glad fonttools libx11-dev libxrandr-dev libxcursor-dev libgl-dev libgl1-mesa-dri libglx-mesa0 libpng-dev xvfb xdotool
  # LV2: headers and schemas, lilv (our LV2 test host), suil (UI embedding in tests), jalv and the lilv tools
  lv2-dev liblilv-dev libsuil-dev jalv lilv-utils
  # panel pixel checks through NanoVG's GL back-end on Mesa under Xvfb
  libgl-dev libx11-dev libgl1-mesa-dri libglx-mesa0 xvfb
  # named by our own builds rather than left to other packages' dependencies: CMake's OpenGL and GLX targets
  # (libOpenGL.so), pugl's GL/glu.h, the X11 extension and zlib libraries linked directly, glib under smf.h
  libopengl-dev libglu1-mesa-dev libxext-dev libxfixes-dev libxrender-dev zlib1g-dev libglib2.0-dev
  # the test harness (unshare, mount for a private /dev/shm) and npm's HTTPS downloads of the fonts
  util-linux mount ca-certificates
)
NPM_PACKAGES=(
  # editor fonts (Fira Sans Condensed, Fira Mono), subset and embedded at build time
  @expo-google-fonts/fira-sans-condensed@0.4.1 @expo-google-fonts/fira-mono@0.4.1
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
  if ! command -v npm >/dev/null 2>&1; then
    $SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends npm >/dev/null
  fi
  # Only the package tarballs are kept (build/npm/<scope>-<name>-<version>.tgz); the build unpacks what it needs.
  here="$(cd "$(dirname "$0")/.." && pwd)"
  mkdir -p "$here/build/npm"
  for p in "${NPM_PACKAGES[@]}"; do
    tarball="$(echo "${p#@}" | tr '/@' '--').tgz"
    if [ ! -f "$here/build/npm/$tarball" ]; then
      npm pack --silent --pack-destination "$here/build/npm" "$p" >/dev/null
    fi
  done
fi
