#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing need.
# Quick when everything is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libsdl2-dev libsndfile1-dev libsamplerate0-dev libjpeg62-turbo-dev librtmidi-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev fonts-dejavu-core fontconfig espeak-ng xvfb xauth
  desktop-file-utils shared-mime-info xdg-utils libfile-mimeinfo-perl
  poppler-utils python3 qt6-translations-l10n
  dpkg-dev file lintian appstream xdotool
  jackd2 # the MIDI test runs its own JACK server (dummy driver)
  chromium # the exported site's player is played in a headless browser
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    SUDO=sudo
  else
    SUDO=
  fi
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  # jackd2 asks whether to allow real-time priority: no (the test's server
  # runs without it).
  echo "jackd2 jackd/tweak_rt_limits boolean false" | $SUDO debconf-set-selections
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
