// Variable and arithmetic commands: registers, named variables, arithmetic, trigonometry, random numbers, time, console output and quitting.
#include "commands/commands.h"

#include <cstring>
#include <string>

#include "script/script_file.h"
#include "shell/output.h"
#include "shell/startup.h"

char* znkinstr_loadInt(char* parms, char* buffer) { return nullptr; }
char* znkinstr_loadFloat(char* parms, char* buffer) { return nullptr; }
char* znkinstr_loadBool(char* parms, char* buffer) { return nullptr; }
char* znkinstr_loadString(char* parms, char* buffer) { return nullptr; }
char* znkinstr_storeInt(char* parms, char* buffer) { return nullptr; }
char* znkinstr_storeFloat(char* parms, char* buffer) { return nullptr; }
char* znkinstr_storeBool(char* parms, char* buffer) { return nullptr; }
char* znkinstr_storeString(char* parms, char* buffer) { return nullptr; }
char* znkinstr_def(char* parms, char* buffer) { return nullptr; }
char* znkinstr_setInt(char* parms, char* buffer) { return nullptr; }
char* znkinstr_setFloat(char* parms, char* buffer) { return nullptr; }
char* znkinstr_setBool(char* parms, char* buffer) { return nullptr; }
char* znkinstr_setString(char* parms, char* buffer) { return nullptr; }
char* znkinstr_append(char* parms, char* buffer) { return nullptr; }
char* znkinstr_addi(char* parms, char* buffer) { return nullptr; }
char* znkinstr_multi(char* parms, char* buffer) { return nullptr; }
char* znkinstr_divi(char* parms, char* buffer) { return nullptr; }
char* znkinstr_powi(char* parms, char* buffer) { return nullptr; }
char* znkinstr_addf(char* parms, char* buffer) { return nullptr; }
char* znkinstr_multf(char* parms, char* buffer) { return nullptr; }
char* znkinstr_divf(char* parms, char* buffer) { return nullptr; }
char* znkinstr_powf(char* parms, char* buffer) { return nullptr; }
char* znkinstr_reciproc(char* parms, char* buffer) { return nullptr; }
char* znkinstr_sqrt(char* parms, char* buffer) { return nullptr; }
char* znkinstr_sin(char* parms, char* buffer) { return nullptr; }
char* znkinstr_cos(char* parms, char* buffer) { return nullptr; }
char* znkinstr_tan(char* parms, char* buffer) { return nullptr; }
char* znkinstr_asin(char* parms, char* buffer) { return nullptr; }
char* znkinstr_acos(char* parms, char* buffer) { return nullptr; }
char* znkinstr_atan(char* parms, char* buffer) { return nullptr; }
char* znkinstr_dist(char* parms, char* buffer) { return nullptr; }
char* znkinstr_dir(char* parms, char* buffer) { return nullptr; }
char* znkinstr_dirToAngles(char* parms, char* buffer) { return nullptr; }
char* znkinstr_randi(char* parms, char* buffer) { return nullptr; }
char* znkinstr_time(char* parms, char* buffer) { return nullptr; }
char* znkinstr_passed(char* parms, char* buffer) { return nullptr; }
char* znkinstr_push(char* parms, char* buffer) { return nullptr; }
char* znkinstr_pop(char* parms, char* buffer) { return nullptr; }
char* znkinstr_output(char* parms, char* buffer) {
  size_t n = std::strlen(parms);
  if (n == 0) return nullptr;  // string register 1 arrives with the register banks
  // The first and the last character (the quotes) are dropped.
  std::string text(parms + 1, n >= 2 ? n - 2 : 0);
  InterpretEscapeSequences(&text[0]);
  OutputToConsole(text.c_str());
  return nullptr;
}
char* znkinstr_quit(char* parms, char* buffer) {
  doIdle = 0;
  return nullptr;
}
