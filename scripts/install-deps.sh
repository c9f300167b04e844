#!/usr/bin/env bash
# Installs the Debian packages the build needs, skipping apt entirely when all are present.
set -euo pipefail
# Everything said here goes to standard error: the demo's standard output is its event log alone.
exec 1>&2
packages=(build-essential cmake ninja-build pkg-config libcairo2-dev libpixman-1-dev libpng-dev libpango1.0-dev libicu-dev
          nlohmann-json3-dev liblunar-date-dev liburiparser-dev libxxhash-dev libgtest-dev libgmock-dev libbenchmark-dev
          fonts-dejavu-core fonts-wqy-microhei fonts-noto-color-emoji fonts-inter fonts-noto-cjk)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
