#!/usr/bin/env bash
# Shared by the game-path cases: the picture and sound of the small level they both play.
# Usage (in the game folder's copy): paths_probe.sh SCREENSHOT
# The tinted red floor of the level's MTL texture below, the model in the middle in the blue
# texture the start script loaded, black above; and the 440 Hz tone the start script loaded.
set -e
shot=$1
[ "$("$PNG_PROBE" "$shot" size)" = "640 480" ]
"$PNG_PROBE" "$shot" expect 150 440 182 40 24 12
"$PNG_PROBE" "$shot" expect 500 420 181 40 24 12
"$PNG_PROBE" "$shot" expect 320 260 18 42 110 12
"$PNG_PROBE" "$shot" expect 320 100 0 0 0 4
"$(dirname "$0")/../../tools/wavcheck.py" capture.wav 60 260 freq=440
