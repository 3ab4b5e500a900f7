#!/usr/bin/env bash
# Three links out of the game folder: a folder "saves", a file "link.txt", and "up", whose ".."
# is the outside folder itself.
set -e
mkdir -p outside/deep
echo untouched > outside/target.txt
ln -s ../outside game/saves
ln -s ../outside/target.txt game/link.txt
ln -s ../outside/deep game/up
