#!/bin/sh
# Installs what building, running and testing need on Debian 12.
set -e
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
PKGS="cmake ninja-build g++ pkg-config qt6-base-dev qt6-translations-l10n libqt6sql6-sqlite \
libsqlite3-dev libxlsxwriter-dev zlib1g-dev libzint-dev libgtest-dev libbenchmark-dev \
fonts-arphic-uming xvfb xdotool poppler-utils python3 python3-openpyxl imagemagick postgresql libpq-dev"
missing=""
for p in $PKGS; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
fi
