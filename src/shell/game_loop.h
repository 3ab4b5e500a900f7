// The logic task: one step of input, per-step updates, sound listener, mouse view, scripts.
#pragma once

int GameLoop();
