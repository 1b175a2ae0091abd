#!/usr/bin/env bash
# Installs the Debian packages the project needs, only when some are missing.
set -euo pipefail
PKGS=(cmake g++ make pkg-config qt6-base-dev libqt6sql6-mysql mariadb-server mariadb-client
      libxlsxwriter-dev libgtest-dev python3-openpyxl xvfb xauth clang libclang-rt-14-dev
      qt6-translations-l10n)
# The windows ask for "Comic Sans MS"; its look-alike keeps them off a script face.
PKGS+=(fonts-comic-neue)
# Opening a workbook in the desktop's spreadsheet program; the workbook's Arial prints in its
# metric look-alike.
PKGS+=(xdg-utils fonts-liberation2)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then exit 0; fi
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi
echo "Installation de: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
