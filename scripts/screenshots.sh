#!/usr/bin/env bash
# Writes a PNG of each window of one sharing into docs/screenshots/: the host
# program's windows, sharing the sample video to the local YouTube emulator,
# on a virtual X display with a window manager (so the pictures show window
# titles and frames). Arguments go to host-screenshots, e.g. --checks for
# pictures to look at (an error line, a long folder, the open category list)
# or --out FOLDER.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh openbox
build_dir="${BUILD_DIR:-build}"
cmake -S . -B "$build_dir" >/dev/null
cmake --build "$build_dir" -j"$(nproc)" --target host-screenshots
sample="$(bash scripts/sample.sh "$build_dir")"
mkdir -p docs/screenshots

xvfb-run -a -s "-screen 0 1280x900x24" bash -c '
  openbox >/dev/null 2>&1 &
  wm=$!
  # The window manager takes the display before the first window comes.
  sleep 1
  status=0
  GLOG_minloglevel=1 "$@" || status=$?
  kill "$wm"
  exit "$status"' screenshots \
  "$build_dir/tools/screenshots/host-screenshots" --out docs/screenshots "$@" "$sample"
