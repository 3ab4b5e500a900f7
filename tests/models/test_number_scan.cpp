#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "models/number_scan.h"

namespace {

// Every field as sscanf leaves it, bit for bit, with the count it returns.
struct Fields {
  int result;
  float f[6];
  int d[4];
  long l[4];
  bool operator==(const Fields& o) const {
    return result == o.result && std::memcmp(f, o.f, sizeof f) == 0 && std::memcmp(d, o.d, sizeof d) == 0 &&
           std::memcmp(l, o.l, sizeof l) == 0;
  }
};

Fields Start() {
  Fields s;
  s.result = 99;
  for (float& x : s.f) x = -7.25f;
  for (int& x : s.d) x = -77;
  for (long& x : s.l) x = -777;
  return s;
}

// The formats the model and level readers use, each read both ways.
template <class Scan>
Fields Read(Scan scan, int format, const char* text) {
  Fields s = Start();
  switch (format) {
    case 0: s.result = scan(text, "%f,%f,%f,%d", &s.f[0], &s.f[1], &s.f[2], &s.d[0]); break;
    case 1: s.result = scan(text, "%d,%d,%d,%f,%f,%f,%f,%f,%f", &s.d[0], &s.d[1], &s.d[2], &s.f[0], &s.f[1],
                            &s.f[2], &s.f[3], &s.f[4], &s.f[5]); break;
    case 2: s.result = scan(text, "%ld\t%ld\t%ld\t%ld", &s.l[0], &s.l[1], &s.l[2], &s.l[3]); break;
    case 3: s.result = scan(text, "%f\t%f\t%f", &s.f[0], &s.f[1], &s.f[2]); break;
    default: s.result = scan(text, "VERTICES\t%ld", &s.l[0]); break;
  }
  return s;
}
constexpr int kFormats = 5;

void ExpectSameAsSscanf(const std::string& text) {
  for (int format = 0; format < kFormats; ++format) {
    const Fields ours = Read([](auto... a) { return ScanNumbers(a...); }, format, text.c_str());
    const Fields theirs = Read([](auto... a) { return std::sscanf(a...); }, format, text.c_str());
    EXPECT_TRUE(ours == theirs) << "format " << format << " text \"" << text << "\"";
  }
}

TEST(ScanNumbers, ReadsEveryLineAsSscanfDoes) {
  for (const char* text :
       {"1.5,-2,3e2,7", "0,1,2,0.5,0.25,0.125,1,0,1", "  +4 , 5,6,7", "1.,.5,-.5,-0", "1e,2,3,4", "1e+,2,3,4",
        "0x1p3,2,3,4", "inf,nan,-inf,1", "infinity,NaN(12),2,3", "+-5,1,2,3", "--5,1,2,3", "- 5,1,2,3",
        "99999999999,1,2,3", "2147483647,-2147483648,2147483648,1", "3\t4\t5\t6", "3 4\t\t5  6", "3,4,5,6",
        "1e39,1e-50,3.4028235e38,1", "1.5e-45,7e-46,1.17549435e-38,2", "0000000000000000000012,1,2,3",
        "123456789012345678901234567890,1,2,3", "1.2.3,4,5,6", "1,2", "", "   ", "VERTICES\t42", "VERTICES 42",
        "VERTICES\t-3", "VERTICES42", "vertices\t4", "1,2,3,4 trailing words", "1e5x,2,3,4", "12abc,1,2,3",
        "-0.0,+0.0,0e0,0", "9007199254740993,16777217,0.1,3", "1.00000005960464477539,2,3,4"})
    ExpectSameAsSscanf(text);
}

// Random lines from the characters numbers are made of and the ones that end them.
TEST(ScanNumbers, RandomLinesReadAsSscanfReadsThem) {
  std::mt19937 rng(11);
  const std::string alphabet = "0123456789012345678901234567890123456789..,,,,\t  -+eExin";
  std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1), length(0, 40);
  for (int k = 0; k < 20000; ++k) {
    std::string text;
    for (size_t n = length(rng); n > 0; --n) text += alphabet[pick(rng)];
    ExpectSameAsSscanf(text);
    if (HasFailure()) return;
  }
}

// Decimals of many digits and exponents round to the same float as strtof gives.
TEST(ScanNumbers, DecimalsRoundToTheNearestFloatAsSscanfDoes) {
  std::mt19937 rng(5);
  std::uniform_int_distribution<int> digit(0, 9), digits(1, 20), exponent(-50, 40);
  for (int k = 0; k < 50000; ++k) {
    std::string number;
    for (int n = digits(rng); n > 0; --n) number += static_cast<char>('0' + digit(rng));
    number.insert(static_cast<size_t>(digit(rng)) % (number.size() + 1), ".");
    if (k % 2) number += "e" + std::to_string(exponent(rng));
    ExpectSameAsSscanf(number + "," + number + ",-" + number + ",1");
    if (HasFailure()) return;
  }
}

// A real in a text that is not closed by a NUL (a file's bytes) ends where the text ends.
TEST(ScanNumbers, APlainRealStopsAtTheEndOfItsText) {
  const char text[] = {'-', '1', '.', '5', 'e', '3', '7'};
  float value = 0;
  EXPECT_EQ(ReadPlainReal(text, text + 4, &value), text + 4);
  EXPECT_EQ(value, -1.5f);
  EXPECT_EQ(ReadPlainReal(text, text + 6, &value), text + 6);
  EXPECT_EQ(value, -1500.0f);
  EXPECT_EQ(ReadPlainReal(text, text + 5, &value), nullptr);  // an exponent without digits
  EXPECT_EQ(ReadPlainReal(text, text + 1, &value), nullptr);  // a sign alone
}

}  // namespace
