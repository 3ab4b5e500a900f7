#!/usr/bin/env bash
# Names that lead to no regular file: FIFOs that no one ever writes to, the endless device
# /dev/zero behind links, and a sparse texture of 300 MB.
set -e
cd game
mkdir -p Textures Sounds Models anim
mkfifo Textures/pipe.png Sounds/pipe.wav Models/pipe.wtf level.obj pipe.txt anim/info.txt
ln -s /dev/zero Textures/zero.png
ln -s /dev/zero Sounds/zero.wav
ln -s /dev/zero Models/zero.wtf
ln -s /dev/zero notes.txt
truncate -s 300M Textures/huge.png
