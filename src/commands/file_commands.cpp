// File, screen and system commands: script text files, the cursor ray, screen projection, screenshots and the beep.
#include "commands/commands.h"

char* znkinstr_open(char* parms, char* buffer) { return nullptr; }
char* znkinstr_close(char* parms, char* buffer) { return nullptr; }
char* znkinstr_read(char* parms, char* buffer) { return nullptr; }
char* znkinstr_write(char* parms, char* buffer) { return nullptr; }
char* znkinstr_readtext(char* parms, char* buffer) { return nullptr; }
char* znkinstr_mouse(char* parms, char* buffer) { return nullptr; }
char* znkinstr_3Dto2D(char* parms, char* buffer) { return nullptr; }
char* znkinstr_screensave(char* parms, char* buffer) { return nullptr; }
char* znkinstr_beep(char* parms, char* buffer) { return nullptr; }
char* znkinstr_save(char* parms, char* buffer) { return nullptr; }
