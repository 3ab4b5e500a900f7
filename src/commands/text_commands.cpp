// Text commands: fonts and the text boxes of the head-up display.
#include "commands/commands.h"

char* znkinstr_buildfont(char* parms, char* buffer) { return nullptr; }
char* znkinstr_font(char* parms, char* buffer) { return nullptr; }
char* znkinstr_textcol(char* parms, char* buffer) { return nullptr; }
char* znkinstr_textbox(char* parms, char* buffer) { return nullptr; }
