#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, when any is missing.
# With the argument "fuzz", also what the fuzz build needs: clang-14, whose
# libFuzzer and sanitizer runtimes come in libclang-rt-14-dev, and llvm-14 for the symbolizer
# that names the lines of a finding.
set -euo pipefail

packages=(
    cmake g++ make pkg-config clang-format
    qt6-base-dev qt6-multimedia-dev qt6-qpa-plugins libgl-dev
    libsndfile1-dev libpulse-dev libinih-dev
    pulseaudio pulseaudio-utils
    xvfb xauth xdotool fonts-dejavu-core libxcb1-dev gdb
    weston qt6-wayland xwayland
    at-spi2-core dbus python3-pyatspi
)
if [ "${1:-}" = fuzz ]; then
    packages+=(clang-14 libclang-rt-14-dev llvm-14)
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "missing packages: ${missing[*]}; run as root or install them first" >&2
    exit 1
fi
echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
