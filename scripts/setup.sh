#!/usr/bin/env bash
# Installs the Debian packages that the build, the tests and the benchmarks need, and only those
# that are missing. Runs without questions; needs root (or sudo).
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libtinyxml-dev libpugixml-dev libcurl4-openssl-dev libpng-dev libcpp-httplib-dev
  llvm-14  # obj2yaml: the crash-dump tests read the written minidumps with it
  # The player engine: GStreamer with its base plugins (WAV parsing via good, Ogg, Vorbis, Opus,
  # the playing bin) and good plugins (FLAC, MP3 decoding and encoding, http), the system's audio
  # outputs, TLS for https streams, and gst-launch-1.0 for the engine's benchmark.
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-alsa gstreamer1.0-pulseaudio
  glib-networking gstreamer1.0-tools
  # Drawing: cairo surfaces and compositing, pango on fontconfig for text, and a font with
  # Chinese glyphs for the default and dialog fonts.
  libcairo2-dev libpango1.0-dev libfontconfig-dev fonts-wqy-microhei
  # The X11 display backend: Xlib with its shape extension, XTest for the tests' input, and the
  # virtual X server the X11 tests start.
  libx11-dev libxext-dev libxtst-dev xvfb
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null; then
    echo "setup: ${missing[*]} missing; run this script as root to install them" >&2
    exit 1
  fi
  sudo="sudo"
fi
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
