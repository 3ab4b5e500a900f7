// File, screen and system commands: script text files, the cursor ray, screen projection, screenshots and the beep.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <GL/gl.h>
#include <GL/glu.h>

#include "commands/echo.h"
#include "render/projection.h"
#include "shell/input.h"
#include "shell/window.h"
#include "sound/sound.h"
#include "world/line_queries.h"
#include "shell/game_paths.h"
#include "shell/output.h"
#include "render/screenshot.h"
#include "script/script_file.h"
#include "script/variables.h"
#include "shell/startup.h"

FILE* scriptFP = nullptr;


namespace {
// The register number of a file command: outside 1..16 means 1.
int RegisterOrFirst(int n) { return n >= 1 && n <= kNumRegisters ? n : 1; }

bool ModeWrites(const char* mode) { return std::strpbrk(mode, "wa+") != nullptr; }
}  // namespace

char* znkinstr_open(char* parms, char* buffer) {
  char name[1024] = "";
  char mode[5] = "r";
  if (std::sscanf(parms, "\"%1023[^\"]\",%4s", name, mode) < 1) name[0] = '\0';
  if (scriptFP) std::fclose(scriptFP);
  scriptFP = nullptr;
  if (!name[0]) return nullptr;
  // Only the letters of a C open mode are passed on.
  if (mode[std::strspn(mode, "rwab+t")] != '\0') {
    OutputToConsoleF("//Cannot open \"%s\": \"%s\" is no file mode\n", name, mode);
    return nullptr;
  }
  std::string path = std::string(routePath) + name;
  scriptFP = ModeWrites(mode) ? OpenGameFileForWriting(path.c_str(), mode) : OpenGameFile(path.c_str());
  return nullptr;
}
char* znkinstr_close(char* parms, char* buffer) {
  if (scriptFP) std::fclose(scriptFP);
  scriptFP = nullptr;
  return nullptr;
}
char* znkinstr_read(char* parms, char* buffer) {
  char delimiter[5] = "\n";
  int reg = 1;
  if (parms[0] == '"') {
    if (parms[1] == '"') {
      std::sscanf(parms, "\"\",%d", &reg);
    } else {
      std::sscanf(parms, "\"%4[^\"]\",%d", delimiter, &reg);
    }
  }
  char* target = StringRegister(RegisterOrFirst(reg));
  if (!scriptFP || !target) return nullptr;
  // A line-end delimiter reads as a carriage return, which as white space also eats the
  // white space after it.
  if (!std::strcmp(delimiter, "\r") || !std::strcmp(delimiter, "\n")) std::strcpy(delimiter, "\r");

  // "%4095[^D]D", with D's characters escaped where the scan would read them as syntax.
  std::string set, literal;
  for (const char* c = delimiter; *c; c++) {
    if (*c == ']') set.insert(set.begin(), ']');
    else set += *c;
    literal += (*c == '%') ? std::string("%%") : std::string(1, *c);
  }
  std::string field = "%" + std::to_string(kStringRegisterSize - 1) + "[^" + set + "]";
  std::vector<char> text(kStringRegisterSize, '\0');
  int got = std::fscanf(scriptFP, field.c_str(), text.data());
  if (got == 1) {
    std::fscanf(scriptFP, literal.c_str());
    ZNK_CopyString(target, text.data(), kStringRegisterSize);
  } else if (got == 0) {
    // An empty field: the delimiter is consumed and the register holds the empty text, so
    // that repeated reads move on instead of stopping at the delimiter for good.
    std::fscanf(scriptFP, literal.c_str());
    target[0] = '\0';
  }
  return nullptr;
}
char* znkinstr_write(char* parms, char* buffer) {
  int reg = 1;
  std::sscanf(parms, "%d", &reg);
  const char* text = StringRegister(RegisterOrFirst(reg));
  if (scriptFP && text) std::fputs(text, scriptFP);
  return nullptr;
}
char* znkinstr_readtext(char* parms, char* buffer) {
  char name[1024] = "";
  int reg = 1;
  if (std::sscanf(parms, "\"%1023[^\"]\",%d", name, &reg) < 1) return nullptr;
  char path[2048];
  std::snprintf(path, sizeof path, "%s%s", routePath, name);
  FILE* file = OpenGameFile(path);
  if (!file) return nullptr;
  ReadCharsFromFile(file, StringRegister(RegisterOrFirst(reg)), kStringRegisterSize - 1);
  std::fclose(file);
  return nullptr;
}
char* znkinstr_mouse(char* parms, char* buffer) {
  // The cursor in window pixels; the window centre while mouse view holds the cursor there.
  Point cursor = gMouseLoc;
  if (!fullscreen) GlobalToLocal(&cursor);
  if (doMouseView) {
    cursor.h = (screenRect.right - screenRect.left) / 2;
    cursor.v = (screenRect.bottom - screenRect.top) / 2;
  }
  SetStandardMatrix();
  GLint viewport[4];
  GLdouble modelview[16], projection[16];
  glGetIntegerv(GL_VIEWPORT, viewport);
  glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  double winX = cursor.h, winY = viewport[3] - cursor.v;
  double nearPoint[3] = {0, 0, 0}, farPoint[3] = {0, 0, 0};
  gluUnProject(winX, winY, 0.0, modelview, projection, viewport, &nearPoint[0], &nearPoint[1], &nearPoint[2]);
  gluUnProject(winX, winY, 1.0, modelview, projection, viewport, &farPoint[0], &farPoint[1], &farPoint[2]);
  for (int i = 0; i < 3; i++) {
    *FloatRegister(1 + i) = nearPoint[i];
    *FloatRegister(4 + i) = farPoint[i];
  }
  AppendEcho(buffer, " // %f,%f,%f,%f,%f,%f", nearPoint[0], nearPoint[1], nearPoint[2], farPoint[0], farPoint[1],
             farPoint[2]);
  return nullptr;
}
char* znkinstr_3Dto2D(char* parms, char* buffer) {
  int n = 1, k = 1;
  std::sscanf(parms, "%d,%d", &n, &k);
  if (n < 1 || n > 14) n = 1;
  if (k < 1 || k > 15) k = 1;  // k + 1 must be a register too
  vector_type point = {static_cast<float>(*FloatRegister(n)), static_cast<float>(*FloatRegister(n + 1)),
                       static_cast<float>(*FloatRegister(n + 2))};
  int h = 0, v = 0;
  GetScreenCoordFrom3DPoint(point, &h, &v);
  *IntRegister(k) = h;
  *IntRegister(k + 1) = v;
  AppendEcho(buffer, " // %d,%d", h, v);
  return nullptr;
}
char* znkinstr_screensave(char* parms, char* buffer) {
  char name[1024] = "";
  if (parms[0] == '\0')
    ZNK_CopyString(name, gScriptVars.strings[0], sizeof name);
  else if (std::sscanf(parms, "\"%1023[^\"]\"", name) != 1)
    return nullptr;
  char path[2048];
  std::snprintf(path, sizeof path, "%s%s", routePath, name);
  SaveScreenshotToPNG(path, 0, 0, 0);
  return nullptr;
}
char* znkinstr_beep(char* parms, char* buffer) {
  SND_Beep();
  return nullptr;
}
char* znkinstr_save(char* parms, char* buffer) {
  AppendEcho(buffer, " // Saved changes.");
  return nullptr;
}
