#!/usr/bin/env bash
# Regenerates every picture of the README in docs/images/ from the real windows, drawn
# headless: the main window (a set, a model, the popup menu), the Edit and Test Center with ten
# plots and the reference line, a tuner over the editor, the three tabs of the analysis window,
# the main window and the editor in metric units, and the three tabs of the calibration window.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target manager_tst_screenshots testcenter_tst_charts testcenter_tst_compare tuners_tst_editortuners \
  testcenter_tst_editor_analysis testcenter_tst_editor_units testcenter_tst_calibration
export QT_QPA_PLATFORM=offscreen VARROW_SCREENSHOT_DIR="$PWD/docs/images"
build/tests/manager/manager_tst_screenshots
build/tests/testcenter/testcenter_tst_charts screenshot
build/tests/testcenter/testcenter_tst_compare screenshot
build/tests/tuners/tuners_tst_editortuners screenshot
build/tests/testcenter/testcenter_tst_editor_analysis screenshot
build/tests/testcenter/testcenter_tst_editor_units screenshot
build/tests/testcenter/testcenter_tst_calibration screenshot
