// The two output hooks through which every part of the engine reports: the console (comment
// lines on standard output) and the dialog (a modal message box).
#pragma once
// The file-exists test belongs to the game paths.
#include "shell/game_paths.h"

typedef void (*OutputHook)(const char* text);

extern OutputHook toConsole;
extern OutputHook toDialog;

void OutputToConsole(const char* text);
void OutputToDialog(const char* text);

// The player's hooks: the text unchanged on standard output; a message box captioned
// "Zyntrel Player.exe".
void MyOutputToConsole(const char* text);
void MyOutputToDialog(const char* text);

// printf-style convenience over OutputToConsole for the engine's own "//" lines.
void OutputToConsoleF(const char* format, ...) __attribute__((format(printf, 1, 2)));

