#!/usr/bin/env bash
# Outside the game folder nothing changed; the subfolder holds the file under its written name.
set -e
[ "$(cat ../outside/target.txt)" = "untouched" ]
[ "$(cd ../outside && find . -mindepth 1 | sort | tr '\n' ' ')" = "./deep ./target.txt " ]
[ "$(cat slots/slot1.txt)" = "written" ]
