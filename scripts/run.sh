#!/usr/bin/env bash
# Installs what is missing, builds, and runs the example program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
"${BUILD_DIR:-build}/app/rq-youtube-example" "$@"
