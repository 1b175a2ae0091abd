#!/usr/bin/env bash
# Installs the Debian packages the project needs, only when some are missing.
set -euo pipefail
PKGS=(cmake g++ make pkg-config qt6-base-dev libqt6sql6-mysql mariadb-server mariadb-client
      libxlsxwriter-dev libgtest-dev python3-openpyxl xvfb xauth clang libclang-rt-14-dev
      qt6-translations-l10n
      xdg-utils)
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
