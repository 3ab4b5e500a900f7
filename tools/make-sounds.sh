#!/usr/bin/env bash
# Generates every sound file of the example game and the sound tests with sox (synthesised
# tones only, no dither, so the files come out the same on every run; only the Ogg stream
# serial number differs). Usage: tools/make-sounds.sh [REPO_ROOT]
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
command -v sox >/dev/null || { echo "make-sounds: sox is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }

# The example game: a short chime, a humming loop and a click, in several file formats.
demo="$root/examples/demo/Sounds"
mkdir -p "$demo"
sox -D -n -r 22050 -b 16 -c 1 "$demo/chime.wav" synth 0.6 sine 660 sine 990 remix - fade 0.005 0.6 0.4 norm -3
sox -D -n -r 22050 -c 1 "$demo/hum.ogg" synth 1.0 sine 110 sine 220 remix - norm -6
sox -D -n -r 22050 -b 16 -c 2 "$demo/click.flac" synth 0.05 square 1500 fade 0 0.05 0.04 norm -3

# The sound tests: a plain tone, a short loop, a stereo tone, an AIFF and an undecodable file.
for case in "$root"/tests/e2e/sound_*/; do
  [ -d "$case" ] || continue
  s="$case/game/Sounds"
  mkdir -p "$s"
  sox -D -n -r 11025 -b 16 -c 1 "$s/tone.wav" synth 0.3 sine 440 norm -3
  sox -D -n -r 11025 -b 16 -c 1 "$s/loop.wav" synth 0.2 sine 330 norm -3
  sox -D -n --comment "" -r 11025 -b 16 -c 1 "$s/low.aiff" synth 0.3 sine 220 norm -3
  printf 'RIFF\377\377\377\177WAVEfmt junk that is not a sound file' > "$s/broken.wav"
done
