// String helpers used for names and paths throughout the engine, and escape sequences.
#include <cstring>

#include "script/script_file.h"

int ZNK_EqualString(const char* a, const char* b) {
  if (!a || !b) return 0;
  return std::strcmp(a, b) == 0 ? 1 : 0;
}

char lowerCase(char c) {
  // Both sides of a comparison are folded onto the capitals.
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 'a' + 'A');
  return c;
}

int ZNK_EqualStringIgnoreCase(const char* a, const char* b) {
  if (!a || !b) return 0;
  while (*a && *b) {
    if (lowerCase(*a) != lowerCase(*b)) return 0;
    a++;
    b++;
  }
  return *a == *b ? 1 : 0;
}

int IsTag(const char* text, const char* tag) {
  if (!text || !tag) return 0;
  size_t n = std::strlen(tag);
  return std::strncmp(text, tag, n) == 0 ? 1 : 0;
}

void KillString(char* text) {
  if (!text) return;
  std::memset(text, 0, std::strlen(text));
}

void ReplaceCharsInString(char* text, char from, char to) {
  if (!text) return;
  for (; *text; text++)
    if (*text == from) *text = to;
}

void ZNK_CopyString(char* destination, const char* source, size_t size) {
  if (!destination || size == 0) return;
  if (!source) source = "";
  size_t n = std::strlen(source);
  if (n >= size) n = size - 1;
  std::memcpy(destination, source, n);
  destination[n] = '\0';
}

namespace {
int OctalDigit(char c) { return c >= '0' && c <= '7' ? c - '0' : -1; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
}  // namespace

// Escapes: \n \r \t \v \a \" give their character. A backslash with one to three octal
// digits, or with x and one or two hex digits, gives the character of that code; a code of
// 0 would end the text, so such an escape gives nothing. After any other character (a
// second backslash, or an x without hex digits) the backslash stays and that character is
// removed, so two backslashes give one.
char* InterpretEscapeSequences(char* text) {
  if (!text) return text;
  char* read = text;
  char* write = text;
  while (*read) {
    if (*read != '\\' || read[1] == '\0') {
      *write++ = *read++;
      continue;
    }
    char c = read[1];
    read += 2;
    switch (c) {
      case 'n': *write++ = '\n'; break;
      case 'r': *write++ = '\r'; break;
      case 't': *write++ = '\t'; break;
      case 'v': *write++ = '\v'; break;
      case 'a': *write++ = '\a'; break;
      case '"': *write++ = '"'; break;
      default: {
        int value = 0, digits = 0;
        if (c == 'x') {
          while (digits < 2 && HexDigit(*read) >= 0) value = value * 16 + HexDigit(*read++), digits++;
        } else if (OctalDigit(c) >= 0) {
          value = OctalDigit(c);
          digits = 1;
          while (digits < 3 && OctalDigit(*read) >= 0) value = value * 8 + OctalDigit(*read++), digits++;
        }
        if (digits > 0) {
          if ((value & 0xFF) != 0) *write++ = static_cast<char>(value & 0xFF);
        } else {
          *write++ = '\\';
        }
        break;
      }
    }
  }
  *write = '\0';
  return text;
}
