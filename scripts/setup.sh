#!/usr/bin/env bash
# Installs every Debian package the build needs; packages already present are skipped.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    libexpat1-dev libjpeg-dev libsqlite3-dev zlib1g-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    libxlsxwriter-dev libcurl4-openssl-dev
    qt6-base-dev
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
