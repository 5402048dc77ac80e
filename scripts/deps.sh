#!/usr/bin/env bash
# Installs the Debian packages the build, the game and the tests need, when any is missing.
# Usage: scripts/deps.sh [run|test]   (default: test, which is a superset of run)
set -euo pipefail

run_pkgs=(build-essential cmake ninja-build pkg-config libsdl2-dev libpng-dev
          libadplug-dev libfluidsynth-dev libasound2-dev timgm6mb-soundfont)
test_pkgs=(libgtest-dev libgmock-dev libbenchmark-dev clang libfuzzer-14-dev sox
           desktop-file-utils appstream-util man-db)

want=("${run_pkgs[@]}")
if [ "${1:-test}" = "test" ]; then
    want+=("${test_pkgs[@]}")
fi

missing=()
for p in "${want[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
    SUDO=()
elif command -v sudo >/dev/null; then
    SUDO=(sudo)
else
    echo "Missing packages and no root rights: ${missing[*]}" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -qq
"${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
