// Echoes: a command that produces a value appends " // " and the value to the caller's
// echo text, when the caller gave one.
#pragma once

// An echo text handed to a command holds at least this many bytes; echoes are cut there.
constexpr int kEchoBufferSize = 1024;

// Appends the formatted text to `buffer` (nothing when it is null), bounded by
// kEchoBufferSize.
void AppendEcho(char* buffer, const char* format, ...) __attribute__((format(printf, 2, 3)));
