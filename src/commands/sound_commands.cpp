// Sound commands: loading, playing, looping, placing and stopping samples.
#include "commands/commands.h"

char* znkinstr_sndload(char* parms, char* buffer) { return nullptr; }
char* znkinstr_sndplay(char* parms, char* buffer) { return nullptr; }
char* znkinstr_sndloop(char* parms, char* buffer) { return nullptr; }
char* znkinstr_sndlooppoints(char* parms, char* buffer) { return nullptr; }
char* znkinstr_sndstop(char* parms, char* buffer) { return nullptr; }
char* znkinstr_channel(char* parms, char* buffer) { return nullptr; }
char* znkinstr_chanpos(char* parms, char* buffer) { return nullptr; }
