// Line-by-line reading of a text file held in memory, for the text-format readers: a line
// ends at CR or LF (a LF right after a CR belongs to the same end) and is cut at a limit.
#pragma once
#include <cstddef>

struct ImportLineReader {
  const char* data;
  size_t size;
  size_t pos = 0;

  ImportLineReader(const char* d, size_t s) : data(d), size(s) {}
  bool atEnd() const { return pos >= size; }
  size_t remaining() const { return pos < size ? size - pos : 0; }

  // One line into `buffer` of `capacity` bytes (at least 1); false when nothing is left.
  // A longer line is cut and its rest read as the next line.
  bool line(char* buffer, size_t capacity, bool crlfIsOneEnd = true) {
    if (pos >= size) {
      buffer[0] = '\0';
      return false;
    }
    size_t n = 0;
    while (pos < size) {
      char c = data[pos];
      if (c == '\r' || c == '\n') {
        pos++;
        if (crlfIsOneEnd && c == '\r' && pos < size && data[pos] == '\n') pos++;
        break;
      }
      if (n + 1 >= capacity) break;
      buffer[n++] = (c == '\0') ? ' ' : c;
      pos++;
    }
    buffer[n] = '\0';
    return true;
  }
};
