#!/usr/bin/env bash
# Makes the five-second sample video once, under the build folder given (or
# build/), and prints its path.
set -euo pipefail
build_dir="${1:-build}"
sample="$build_dir/sample/Sample recording.mp4"
if [ ! -f "$sample" ]; then
  mkdir -p "$(dirname "$sample")"
  # Written under another name first, so an interrupted run leaves no broken sample.
  ffmpeg -v error -y -f lavfi -i "testsrc2=size=1280x720:rate=30:duration=5" \
    -f lavfi -i "sine=frequency=440:duration=5" \
    -c:v libx264 -pix_fmt yuv420p -c:a aac -shortest -f mp4 "$sample.part"
  mv "$sample.part" "$sample"
fi
echo "$sample"
