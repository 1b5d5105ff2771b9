#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need; does nothing when all are present.
# Usage: scripts/install-deps.sh [extra-package ...]
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev qt6-charts-dev qt6-serialport-dev
    libqt6sql6-sqlite      # the trace history's index: Qt SQL's SQLite driver
    libqt6opengl6-dev      # Qt Charts' CMake package asks for Qt6OpenGL
    qt6-translations-l10n  # Japanese texts on Qt's standard buttons
    fonts-ipafont-gothic fonts-ipafont-mincho fonts-liberation
    git                    # the revision that vandrel-monitor --version names
    dpkg-dev file          # the Debian package: CPack's dependency search (dpkg-shlibdeps)
    desktop-file-utils appstream shared-mime-info xdg-utils libfile-mimeinfo-perl
                           # checking the desktop entry, the metainfo and the trace file types
    xvfb x11-utils         # starting the installed monitor on a virtual display
    g++-mingw-w64-x86-64-posix  # the core built for Windows
    poppler-utils          # pdftotext, pdfinfo: the tests read the fault report back
    "$@"
)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
