// Reading numbers from the lines of text model and level files, exactly as sscanf reads them
// but without its cost: a big model has hundreds of thousands of such lines.
#pragma once

// Reads a plain decimal real starting at `p` (no blanks before it) and ending by `end`: an
// optional sign, digits with a point and an exponent, rounded to the nearest float as strtof
// and sscanf's %f do. Returns where the number ends, or null when the text there is not a
// plain decimal (inf, nan, hexadecimal, an exponent without digits, no digits at all), which
// only strtod or sscanf read right.
const char* ReadPlainReal(const char* p, const char* end, float* out);

// Reads `text` as sscanf(text, format, ...) would and returns what it would return, for
// formats made of %d, %ld and %f conversions, blanks and plain characters (such as
// "%f,%f,%f,%d" or "%ld\t%ld"). A line whose numbers are all plain decimals (a sign, digits,
// a point, an exponent) and that fills every conversion is read here; any other line, and any
// other format, is handed to sscanf itself, so every line reads the same either way.
int ScanNumbers(const char* text, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(scanf, 2, 3)))
#endif
    ;
