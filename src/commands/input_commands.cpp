// Input commands: keys and mouse clicks into boolean registers.
#include "commands/commands.h"

char* znkinstr_key(char* parms, char* buffer) { return nullptr; }
char* znkinstr_click(char* parms, char* buffer) { return nullptr; }
char* znkinstr_savekey(char* parms, char* buffer) { return nullptr; }
