// Input commands: a key or the left mouse button tested into a boolean register, held, or
// pressed or released since the previous pass.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "commands/commands.h"
#include "commands/echo.h"
#include "script/variables.h"
#include "shell/input.h"

namespace {
// The virtual-key code a key field names: "c (a character), %n (a special key in the other
// platform's numbering) or n (a number); letters stand for their capital's key.
int KeyCodeOf(const char* field) {
  if (field[0] == '%') return static_cast<unsigned char>(ConvertSpecialMacToWinKey(static_cast<char>(std::atoi(field + 1))));
  int code = field[0] == '"' ? static_cast<unsigned char>(field[1]) : static_cast<unsigned char>(std::atoi(field));
  if (code >= 'a' && code <= 'z') code -= 32;
  return code;
}
}  // namespace

char* znkinstr_key(char* parms, char* buffer) {
  char field[4] = "";
  int reg = 0;
  char mode = 0;
  if (std::sscanf(parms, "%3[^,],%d,%c", field, &reg, &mode) < 2) return nullptr;
  int32_t* target = BoolRegister(reg);
  if (!target) return nullptr;
  if (field[0] == '?') {
    // The key comes from string register 1, up to its first comma.
    const char* s1 = StringRegister(1);
    size_t n = std::strcspn(s1, ",");
    if (n > 3) n = 3;
    std::memcpy(field, s1, n);
    field[n] = '\0';
  }
  int code = KeyCodeOf(field);
  int result;
  if (mode == 'n')
    result = IsKeyDownNow(code);
  else if (mode == 'o')
    result = ReleasedKey(code);
  else
    result = IsKeyDown(code) != 0;
  *target = result ? 1 : 0;
  return nullptr;
}

char* znkinstr_click(char* parms, char* buffer) {
  int reg = 1;
  char mode = 0;
  if (parms[0]) std::sscanf(parms, "%d,%c", &reg, &mode);
  int32_t* target = BoolRegister(reg);
  if (!target) return nullptr;
  int now = gMouseButtons[0] != 0, before = gOldMouseButtons[0] != 0;
  int result;
  if (mode == 'n')
    result = !before && now;
  else if (mode == 'o')
    result = before && !now;
  else
    result = now;
  *target = result;
  AppendEcho(buffer, result ? " // true" : " // false");
  return nullptr;
}

char* znkinstr_savekey(char* parms, char* buffer) { return nullptr; }
