#!/usr/bin/env bash
# Renders the main window and the dialogs to docs/screenshots/ (offscreen).
# Run ./test (or ./run) once before, so that build/ holds the programs.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
TASK="$("$ROOT/scripts/demo-task.sh")"
export QT_QPA_PLATFORM=offscreen
export QUILLON_SCREENSHOT_DIR="$ROOT/docs/screenshots"
export QUILLON_SCREENSHOT_TASK="$TASK"
mkdir -p "$QUILLON_SCREENSHOT_DIR"
"$ROOT/build/bin/app_tests" --gtest_filter='ShellScreenshots*:ResultsScreenshots*:PrintScreenshots*:EditorScreenshots*:ChartScreenshots*:ConditionScreenshots*:ImportScreenshots*:WindowScreenshots*:SeatsAndWordsScreenshots*:PublishScreenshots*'
