#!/usr/bin/env bash
# The include check must refuse what breaks the layers: a Qt header in a
# Qt-free folder, an include of a folder above, and a bare include.
set -uo pipefail
CHECK="$1"
ROOT="$(mktemp -d)"
trap 'rm -rf "$ROOT"' EXIT
mkdir -p "$ROOT/base/util" "$ROOT/gui/common" "$ROOT/gui/shell"
printf '#pragma once\n' >"$ROOT/gui/shell/Window.h"
printf '#pragma once\n' >"$ROOT/base/util/Fine.h"
printf '#include "base/util/Fine.h"\n' >"$ROOT/gui/common/Good.cpp"
python3 "$CHECK" "$ROOT" >/dev/null || { echo "a sound tree was refused"; exit 1; }
expect_refused() {
  local file="$1" line="$2"
  printf '%s\n' "$line" >"$ROOT/$file"
  if python3 "$CHECK" "$ROOT" >/dev/null; then
    echo "not refused: $line in $file"; exit 1
  fi
  rm "$ROOT/$file"
}
expect_refused base/util/Codec.cpp '#include <QString>'
expect_refused base/util/Codec.cpp '#include <QtCore/QString>'
expect_refused gui/common/Box.cpp '#include "gui/shell/Window.h"'
expect_refused gui/common/Box.cpp '#include "Window.h"'
expect_refused base/util/Codec.cpp '#include "gui/shell/Window.h"'
echo "bad includes refused"
