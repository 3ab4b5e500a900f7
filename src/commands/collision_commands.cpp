// Collision query commands: pokes, sphere and segment tests, collision results, and the mesh builders.
#include "commands/commands.h"

char* znkinstr_poke(char* parms, char* buffer) { return nullptr; }
char* znkinstr_teampoke(char* parms, char* buffer) { return nullptr; }
char* znkinstr_spherecoll(char* parms, char* buffer) { return nullptr; }
char* znkinstr_intersect(char* parms, char* buffer) { return nullptr; }
char* znkinstr_coll(char* parms, char* buffer) { return nullptr; }
char* znkinstr_collnormal(char* parms, char* buffer) { return nullptr; }
char* znkinstr_collpoint(char* parms, char* buffer) { return nullptr; }
char* znkinstr_collmaterial(char* parms, char* buffer) { return nullptr; }
char* znkinstr_bounce(char* parms, char* buffer) { return nullptr; }
char* znkinstr_egg(char* parms, char* buffer) { return nullptr; }
char* znkinstr_vertex(char* parms, char* buffer) { return nullptr; }
char* znkinstr_line(char* parms, char* buffer) { return nullptr; }
char* znkinstr_face(char* parms, char* buffer) { return nullptr; }
