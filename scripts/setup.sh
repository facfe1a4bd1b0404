#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the tools need, when
# any of them is missing. Used by every make target.
set -euo pipefail

packages=(
    build-essential cmake
    qtbase5-dev qtbase5-dev-tools qttools5-dev-tools libqt5svg5-dev git
    clang libclang-rt-14-dev llvm
    fonts-dejavu-core fonts-liberation2
    chromium python3 python3-jsonschema
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
