// The plain lines are read with std::from_chars, which rounds a decimal to the nearest float as
// strtof (and so sscanf) does. A line this reader does not take in full goes to vsscanf whole.
#include "models/number_scan.h"

#include <charconv>
#include <climits>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kNotPlain = -1;

inline bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// An optional sign (after blanks) and at least one digit, up to 18 digits, when the value
// lies in [lo, hi].
bool PlainInteger(const char** at, int64_t lo, int64_t hi, int64_t* out) {
  const char* s = *at;
  while (IsSpace(*s)) s++;
  bool negative = false;
  if (*s == '+' || *s == '-') negative = *s++ == '-';
  if (!IsDigit(*s)) return false;
  int64_t value = 0;
  for (int digits = 0; IsDigit(*s); s++) {
    if (++digits > 18) return false;
    value = value * 10 + (*s - '0');
  }
  if (negative) value = -value;
  if (value < lo || value > hi) return false;
  *out = value;
  *at = s;
  return true;
}

// A real after blanks, when it is plain.
bool PlainReal(const char** at, const char* end, float* out) {
  const char* s = *at;
  while (IsSpace(*s)) s++;
  const char* after = ReadPlainReal(s, end, out);
  if (!after) return false;
  *at = after;
  return true;
}

// The fields of a plain line, read before any is stored: a line that turns out not to be
// plain leaves the caller's variables untouched for vsscanf.
struct PlainField {
  char kind;  // 'd' (int), 'l' (long) or 'f' (float)
  int64_t whole;
  float real;
};
constexpr int kMostFields = 16;

int ScanPlain(const char* p, const char* end, const char* f, PlainField* fields) {
  int count = 0;
  while (*f) {
    if (IsSpace(*f)) {
      while (IsSpace(*f)) f++;
      while (IsSpace(*p)) p++;
      continue;
    }
    if (*f != '%') {
      if (*p != *f) return kNotPlain;
      p++, f++;
      continue;
    }
    if (count == kMostFields) return kNotPlain;
    PlainField& field = fields[count++];
    f++;
    if (f[0] == 'd') {
      field.kind = 'd';
      if (!PlainInteger(&p, INT_MIN, INT_MAX, &field.whole)) return kNotPlain;
    } else if (f[0] == 'l' && f[1] == 'd') {
      field.kind = 'l';
      if (!PlainInteger(&p, LONG_MIN, LONG_MAX, &field.whole)) return kNotPlain;
      f++;
    } else if (f[0] == 'f') {
      field.kind = 'f';
      if (!PlainReal(&p, end, &field.real)) return kNotPlain;
    } else {
      return kNotPlain;
    }
    f++;
  }
  return count;
}

}  // namespace

const char* ReadPlainReal(const char* p, const char* end, float* out) {
  const char* s = p;
  bool negative = false;
  if (s < end && (*s == '+' || *s == '-')) negative = *s++ == '-';
  if (s == end || (!IsDigit(*s) && *s != '.')) return nullptr;
  const char* run = s;
  while (run < end && (IsDigit(*run) || *run == '.' || *run == 'e' || *run == 'E' || *run == '+' || *run == '-'))
    run++;
  if (run < end && (*run == 'x' || *run == 'X')) return nullptr;
  float value = 0.0f;
  const std::from_chars_result read = std::from_chars(s, run, value, std::chars_format::general);
  if (read.ec != std::errc() || read.ptr != run) return nullptr;
  *out = negative ? -value : value;
  return run;
}

int ScanNumbers(const char* text, const char* format, ...) {
  PlainField fields[kMostFields];
  const int count = ScanPlain(text, text + std::strlen(text), format, fields);
  va_list args;
  va_start(args, format);
  int result = count;
  if (count == kNotPlain) {
    result = std::vsscanf(text, format, args);
  } else {
    for (int k = 0; k < count; ++k) {
      if (fields[k].kind == 'd') *va_arg(args, int*) = static_cast<int>(fields[k].whole);
      else if (fields[k].kind == 'l') *va_arg(args, long*) = static_cast<long>(fields[k].whole);
      else *va_arg(args, float*) = fields[k].real;
    }
  }
  va_end(args);
  return result;
}
