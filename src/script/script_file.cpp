// Script records: loading a script file, creating a script from text, and splitting one
// command line into its command word and parameter text.
#include "script/script_file.h"

#include <cstdlib>
#include <cstring>

#include "script/compiler.h"
#include "shell/startup.h"

ZNK_scripter baseScript;
ZNK_scripter* scriptPtr = nullptr;

void InitScriptLists() {
  baseScript = ZNK_scripter();
  scriptPtr = &baseScript;
}

namespace {
char* DuplicateText(const char* text) {
  size_t n = std::strlen(text);
  char* copy = static_cast<char*>(std::malloc(n + 2));  // room for a trailing CR
  if (!copy) return nullptr;
  std::memcpy(copy, text, n + 1);
  return copy;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
}  // namespace

void ReadWholeFile(FILE* file, char* buffer) {
  size_t n = 0;
  int c;
  while ((c = std::fgetc(file)) != EOF) buffer[n++] = static_cast<char>(c);
  buffer[n] = '\0';
}

void ReadCharsFromFile(FILE* file, char* buffer, long n) {
  long i = 0;
  int c;
  while (i < n && (c = std::fgetc(file)) != EOF) buffer[i++] = static_cast<char>(c);
  buffer[i] = '\0';
}

int Read1Line(FILE* file, char* buffer) {
  int n = 0;
  for (;;) {
    int c = std::fgetc(file);
    if (c == EOF) {
      buffer[n] = '\0';
      return -1;
    }
    if (c == '\r' || c == '\n') break;
    buffer[n++] = static_cast<char>(c);
    if (n >= kRead1LineLimit) break;
  }
  buffer[n] = '\0';
  return 0;
}

ZNK_scripter* NewZNKScript(const char* text) {
  ZNK_scripter* script = new ZNK_scripter();
  script->contents = DuplicateText(text ? text : "");
  CompileScript(script);
  return script;
}

char* ReadScriptFile(const char* path) {
  FILE* file = OpenGameFile(path);
  if (!file) return nullptr;
  std::fseek(file, 0, SEEK_END);
  long size = std::ftell(file);
  std::fseek(file, 0, SEEK_SET);
  if (size < 0) size = 0;
  // The measured size bounds the read: a file that grows meanwhile is cut there. A NUL byte
  // inside the file ends the script text there.
  char* text = static_cast<char*>(std::malloc(static_cast<size_t>(size) + 2));
  if (text) {
    ReadCharsFromFile(file, text, size);
    ReplaceCharsInString(text, '\n', '\r');
  }
  std::fclose(file);
  return text;
}

ZNK_scripter* LoadScript(const char* path) {
  char* text = ReadScriptFile(path);
  if (!text) return nullptr;

  ZNK_scripter* last = &baseScript;
  while (last->next) last = last->next;
  ZNK_scripter* script = NewZNKScript(text);
  last->next = script;

  size_t skip = std::strlen(routePath);
  ZNK_CopyString(script->signature, std::strlen(path) >= skip ? path + skip : path, sizeof script->signature);
  std::free(text);
  return script;
}

void EnsureTrailingCR(ZNK_scripter* script) {
  if (!script || !script->contents) return;
  size_t n = std::strlen(script->contents);
  if (n > 0 && script->contents[n - 1] == '\r') return;
  char* grown = static_cast<char*>(std::realloc(script->contents, n + 2));
  if (!grown) return;
  grown[n] = '\r';
  grown[n + 1] = '\0';
  script->contents = grown;
}

void MakeZNKCommandOutOfLine(char* line, char* command, char* parms) {
  command[0] = '\0';
  parms[0] = '\0';
  if (!line) return;
  char* comment = std::strstr(line, "//");
  if (comment) *comment = '\0';

  const char* p = line;
  while (*p && IsSpace(*p)) p++;
  int n = 0;
  while (*p && !IsSpace(*p)) {
    if (n < kMaxCommandWord) command[n++] = *p;
    p++;
  }
  command[n] = '\0';
  while (*p && IsSpace(*p)) p++;
  if (!*p) return;

  // Blanks outside double quotes are dropped; a quote toggles and stays in the text.
  bool quoted = false;
  n = 0;
  for (; *p && *p != '\n'; p++) {
    if (*p == '"') quoted = !quoted;
    if (!quoted && (*p == ' ' || *p == '\t')) continue;
    if (n < kMaxParmsLength) parms[n++] = *p;
  }
  parms[n] = '\0';
}

int TakeScriptLine(const char* text, int pos, int length, char* line) {
  int n = 0;
  while (pos < length && text[pos] != '\r' && text[pos] != '\n') {
    if (n < kMaxLineLength) line[n++] = text[pos];
    pos++;
  }
  line[n] = '\0';
  if (pos >= length) return pos;
  if (text[pos] == '\r' && pos + 1 < length && text[pos + 1] == '\n') pos++;
  return pos + 1;
}

int SplitScriptLine(char* line, char* command, char* parms) {
  int prefix = 0;
  while (prefix < 2 && line[prefix] == '#') prefix++;
  MakeZNKCommandOutOfLine(line + prefix, command, parms);
  return prefix;
}

void DisposeAllScripts() {
  ZNK_scripter* s = baseScript.next;
  while (s) {
    ZNK_scripter* next = s->next;
    DisposeScript(s);
    s = next;
  }
  baseScript.next = nullptr;
}
