// Group commands: making, dissolving and editing groups.
#include "commands/commands.h"

char* znkinstr_group(char* parms, char* buffer) { return nullptr; }
char* znkinstr_ungroup(char* parms, char* buffer) { return nullptr; }
char* znkinstr_groupAdd(char* parms, char* buffer) { return nullptr; }
char* znkinstr_groupDel(char* parms, char* buffer) { return nullptr; }
