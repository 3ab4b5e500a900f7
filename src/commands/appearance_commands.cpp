// Appearance, light and camera commands: materials, textures, colours, fog, the eight lights, field of view and views.
#include "commands/commands.h"

char* znkinstr_col(char* parms, char* buffer) { return nullptr; }
char* znkinstr_alpha(char* parms, char* buffer) { return nullptr; }
char* znkinstr_wire(char* parms, char* buffer) { return nullptr; }
char* znkinstr_smooth(char* parms, char* buffer) { return nullptr; }
char* znkinstr_shininess(char* parms, char* buffer) { return nullptr; }
char* znkinstr_emission(char* parms, char* buffer) { return nullptr; }
char* znkinstr_ambient(char* parms, char* buffer) { return nullptr; }
char* znkinstr_diffuse(char* parms, char* buffer) { return nullptr; }
char* znkinstr_specular(char* parms, char* buffer) { return nullptr; }
char* znkinstr_tex(char* parms, char* buffer) { return nullptr; }
char* znkinstr_anim(char* parms, char* buffer) { return nullptr; }
char* znkinstr_hud(char* parms, char* buffer) { return nullptr; }
char* znkinstr_lux(char* parms, char* buffer) { return nullptr; }
char* znkinstr_loadtex(char* parms, char* buffer) { return nullptr; }
char* znkinstr_loadanim(char* parms, char* buffer) { return nullptr; }
char* znkinstr_rgb(char* parms, char* buffer) { return nullptr; }
char* znkinstr_backcol(char* parms, char* buffer) { return nullptr; }
char* znkinstr_fogcol(char* parms, char* buffer) { return nullptr; }
char* znkinstr_light(char* parms, char* buffer) { return nullptr; }
char* znkinstr_lighton(char* parms, char* buffer) { return nullptr; }
char* znkinstr_attenuation(char* parms, char* buffer) { return nullptr; }
char* znkinstr_spotlight(char* parms, char* buffer) { return nullptr; }
char* znkinstr_fov(char* parms, char* buffer) { return nullptr; }
char* znkinstr_ortho(char* parms, char* buffer) { return nullptr; }
char* znkinstr_fullscreen(char* parms, char* buffer) { return nullptr; }
