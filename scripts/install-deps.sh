#!/usr/bin/env bash
# Installs every Debian package the project needs, only those missing.
# Idempotent and non-interactive; `apt-get update` runs at most once.
set -euo pipefail

packages=(
  # toolchain
  cmake ninja-build g++ make pkg-config git
  clang-14 libclang-rt-14-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  # core and text
  libfmt-dev libicu-dev
  # the comma-decimal locale of the locale-independence tests (localedef)
  locales
  # time zones of the date-stamp tests (Asia/Kolkata, America/Sao_Paulo)
  tzdata
  # keyboard layouts
  libxkbcommon-dev xkb-data
  # the desktop's key-binding settings (GSettings) and the schemas their tests read
  libglib2.0-dev gsettings-desktop-schemas
  # system-wide hot keys (X11) and their end-to-end test display
  libx11-dev libxtst-dev xvfb
  # another X client reading the clipboard in the pasteboard tests
  xclip
  # screens and screen capture on X11 (RandR monitors)
  libxrandr-dev
  # images and drawing
  libcairo2-dev libfontconfig-dev libfreetype-dev fonts-dejavu-core libpng-dev libjpeg-dev
  # animated GIF files (zlib1g-dev, below, also writes the animated PNG)
  libgif-dev
  # text layout, and a CJK font for the fallback tests
  libpango1.0-dev fonts-wqy-microhei
  # the local command endpoint (HTTP client)
  libcurl4-openssl-dev
  # regenerating the generators' reference sequences (scripts/random_reference_vectors.py)
  python3
  # URL parsing and validation (RFC 3986)
  liburiparser-dev
  # the JSON reader (header-only)
  rapidjson-dev
  # decompression of resources: raw DEFLATE, .xz, LZ4 blocks
  zlib1g-dev liblzma-dev liblz4-dev
)
# `make docs` only: the API reference.
if [ "${1:-}" = "--docs" ]; then
  packages=(doxygen)
fi
# Bench only (`make bench` passes --bench): Qt 6, the peer of the keyed-view
# benchmarks (bench/observable/qt); nlohmann-json and simdjson, the JSON peers;
# spdlog, the peer of the CSV log files.
if [ "${1:-}" = "--bench" ]; then packages+=(qt6-base-dev nlohmann-json3-dev libsimdjson-dev libspdlog-dev); fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all ${#packages[@]} packages present"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
