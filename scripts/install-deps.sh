#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need, skipping what is there.
set -euo pipefail

packages=(
    cmake ninja-build g++ ccache pkg-config
    qt6-base-dev qt6-serialport-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    libcli11-dev nlohmann-json3-dev xvfb xauth
    clang-format
)
if [[ "${K400_WITH_FUZZ:-0}" == 1 ]]; then
    packages+=(clang libclang-rt-14-dev)
fi
# scripts/package.sh: the package tools and the checks run on the package.
if [[ "${K400_PACKAGE:-0}" == 1 ]]; then
    packages+=(dpkg-dev lintian desktop-file-utils)
fi
# scripts/mingw-core.sh: the Windows cross compiler (Wine, to run the result, is optional).
if [[ "${K400_WITH_MINGW:-0}" == 1 ]]; then
    packages+=(g++-mingw-w64-x86-64)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    SUDO=""
    [[ $(id -u) -ne 0 ]] && SUDO=sudo
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
