#!/usr/bin/env bash
# Copies the bundled demo task into a fresh folder and prints the path of the
# copied task file. The bundled files are never changed.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
SOURCE="$ROOT/resources/demo/演示任务"
DOCS="${XDG_DOCUMENTS_DIR:-$HOME/Documents}"
TARGET="$DOCS/Lumo分班任务/演示任务-$(date +%Y%m%d-%H%M%S)"
n=1
while [ -e "$TARGET" ]; do
  n=$((n + 1))
  TARGET="$DOCS/Lumo分班任务/演示任务-$(date +%Y%m%d-%H%M%S)-$n"
done
mkdir -p "$TARGET"
cp -p "$SOURCE"/input.xml "$SOURCE"/演示任务.qz "$TARGET"/
printf '%s\n' "$TARGET/演示任务.qz"
