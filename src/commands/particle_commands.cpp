// Particle commands: creating particle systems and reading their state.
#include "commands/commands.h"

char* znkinstr_particles(char* parms, char* buffer) { return nullptr; }
char* znkinstr_partinfo(char* parms, char* buffer) { return nullptr; }
