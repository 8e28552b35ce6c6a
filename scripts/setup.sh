#!/usr/bin/env bash
# Installs the Debian packages Pixoria needs to build, test and run, but only
# when one of them is missing, so a second run costs nothing.
set -euo pipefail

packages=(
    # compilers and build
    g++ clang libclang-rt-14-dev cmake ninja-build pkg-config ccache
    # the interface
    qt6-base-dev qt6-svg-dev qt6-qpa-plugins libgl-dev fonts-dejavu-core
    # the imaging libraries; ImageMagick's extra coders hold its metafile
    # reader, Ghostscript draws PostScript
    libturbojpeg0-dev libtiff-dev libgif-dev libpng-dev
    libmagick++-6.q16-dev libmagickcore-6.q16-6-extra ghostscript
    # scanning (libsane1 carries the backends, among them "test")
    libsane-dev libsane1
    # sound: waves and MIDI through SDL2_mixer; MIDI needs a General MIDI soundfont
    libsdl2-mixer-dev timgm6mb-soundfont
    # tests and benchmarks (djpeg and vips are the benchmarks' comparisons)
    libgtest-dev libgmock-dev libbenchmark-dev libx11-dev
    libjpeg-turbo-progs libvips-tools
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if ((${#missing[@]} > 0)); then
    sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y --no-install-recommends "${missing[@]}"
fi
