#!/usr/bin/env bash
# Regenerates docs/images/editor-charts.png: the Edit and Test Center with ten plots and the
# reference line, drawn headless.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target testcenter_tst_charts
QT_QPA_PLATFORM=offscreen VARROW_SCREENSHOT_DIR="$PWD/docs/images" \
  build/tests/testcenter/testcenter_tst_charts screenshot
