#!/usr/bin/env bash
# Builds the Debian package quillon_<version>_<arch>.deb in build-package/,
# from a release build of its own (installed under /usr).
#   scripts/package.sh [CMAKE_OPTIONS...]   options for the first configure,
#                                           e.g. -DCMAKE_CXX_COMPILER_LAUNCHER=ccache
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${QUILLON_PACKAGE_DIR:-$ROOT/build-package}"
"$ROOT/scripts/deps.sh"
QUILLON_BUILD_DIR="$BUILD" "$ROOT/scripts/build.sh" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DQUILLON_BUILD_TESTS=OFF -DQUILLON_BUILD_BENCH=OFF "$@"
rm -f "$BUILD"/quillon_*.deb
(cd "$BUILD" && cpack -G DEB)
ls "$BUILD"/quillon_*.deb
