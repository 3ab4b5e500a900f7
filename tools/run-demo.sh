#!/usr/bin/env bash
# Plays a game folder: in a window when a display is there, otherwise headless for a few
# seconds with screenshots saved, saying so.
set -euo pipefail
bin=$1; game=$2
args=${ZYNTREL_ARGS:---window 1280x720}
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$bin" $args "$game"
fi
echo "No display found: running $game headless for 5 seconds of game time (250 passes of 20 ms)." >&2
"$bin" --headless --frames 250 --fixed-step 20 "$game"
