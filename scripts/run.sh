#!/usr/bin/env bash
# Installs what is missing, builds, makes a short sample video once (under the
# build folder), and shares it with the host program to a local YouTube
# emulator, so the whole flow runs without a Google account. Without a display
# it runs unattended: the program presses the buttons and prints the link.
# With arguments, they go to the host program instead (see --help).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
build_dir="${BUILD_DIR:-build}"
host="$build_dir/app/rq-youtube-host"

if [ $# -gt 0 ]; then
  exec "$host" "$@"
fi

sample="$(bash scripts/sample.sh "$build_dir")"
# Windows nobody can see (no display, or Qt told to draw offscreen) get
# their buttons pressed by the program itself.
case "${QT_QPA_PLATFORM:-}" in
  offscreen|minimal) unseen=1 ;;
  "") [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && unseen=1 || unseen=0 ;;
  *) unseen=0 ;;
esac
if [ "$unseen" = 1 ]; then
  echo "Running unattended (no display shows the windows): the program presses the buttons itself."
  QT_QPA_PLATFORM=offscreen exec "$host" --emulator --unattended "$sample"
fi
exec "$host" --emulator "$sample"
