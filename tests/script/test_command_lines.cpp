// Splitting a command line, escape sequences and the string helpers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "script/script_file.h"
#include "support/test_support.h"

namespace {
struct Split {
  std::string command, parms;
};

Split SplitLine(const char* text) {
  char line[kMaxLineLength + 1];
  ZNK_CopyString(line, text, sizeof line);
  char command[kMaxCommandWord + 1], parms[kMaxParmsLength + 1];
  MakeZNKCommandOutOfLine(line, command, parms);
  return {command, parms};
}

std::string Escaped(const char* text) {
  std::string s(text);
  s.push_back('\0');
  InterpretEscapeSequences(&s[0]);
  return std::string(s.c_str());
}
}  // namespace

TEST(CommandLine, CommentIsCutAndBlanksBetweenParametersDropped) {
  Split s = SplitLine("move 1, 2 // comment");
  EXPECT_EQ(s.command, "move");
  EXPECT_EQ(s.parms, "1,2");
}

TEST(CommandLine, WordWithoutParametersAndBlankLines) {
  EXPECT_EQ(SplitLine("quit").parms, "");
  EXPECT_EQ(SplitLine("quit   \t").command, "quit");
  EXPECT_EQ(SplitLine("quit   \t").parms, "");
  Split blank = SplitLine("   \t  ");
  EXPECT_EQ(blank.command, "");
  EXPECT_EQ(blank.parms, "");
  EXPECT_EQ(SplitLine("// only a comment").command, "");
}

TEST(CommandLine, QuotedTextKeepsItsBlanksAndQuotes) {
  Split s = SplitLine("\tsets 1, \"a  b\" , 2");
  EXPECT_EQ(s.command, "sets");
  EXPECT_EQ(s.parms, "1,\"a  b\",2");
}

TEST(CommandLine, CommentMarkInsideQuotesStillStartsAComment) {
  EXPECT_EQ(SplitLine("output \"http://x\"").parms, "\"http:");
}

TEST(CommandLine, OverlongWordAndParametersAreCutToTheirBuffers) {
  std::string word(100, 'w');
  std::string parms(600, 'p');
  Split s = SplitLine((word + " " + parms).c_str());
  EXPECT_EQ(s.command.size(), static_cast<size_t>(kMaxCommandWord));
  EXPECT_LE(s.parms.size(), static_cast<size_t>(kMaxParmsLength));
  EXPECT_EQ(s.parms.find_first_not_of('p'), std::string::npos);
}

TEST(CommandLine, HashPrefixIsAtMostTwoCharactersAndTheLinesAreTakenOneByOne) {
  struct Case {
    const char* line;
    int prefix;
    const char* command;
    const char* rest;  // the line after its prefix, comment cut off
  } cases[] = {
      {"output 1", 0, "output", "output 1"},
      {"#output 1", 1, "output", "output 1"},
      {"##output 1 // note", 2, "output", "output 1 "},
      {"###output 1", 2, "#output", "#output 1"},
      {"# output", 1, "output", " output"},
      {"##", 2, "", ""},
  };
  for (const Case& c : cases) {
    char line[kMaxLineLength + 1], command[kMaxCommandWord + 1], parms[kMaxParmsLength + 1];
    ZNK_CopyString(line, c.line, sizeof line);
    int prefix = SplitScriptLine(line, command, parms);
    EXPECT_EQ(prefix, c.prefix) << c.line;
    EXPECT_STREQ(command, c.command) << c.line;
    EXPECT_STREQ(line + prefix, c.rest) << c.line;
  }

  // CR, LF and CR LF each end one line; the last line needs no line end.
  const char* text = "a\rb\nc\r\n\rd";
  int length = static_cast<int>(std::strlen(text));
  std::string lines;
  for (int pos = 0; pos < length;) {
    char line[kMaxLineLength + 1];
    pos = TakeScriptLine(text, pos, length, line);
    lines += std::string(line) + "|";
  }
  EXPECT_EQ(lines, "a|b|c||d|");
}

TEST(EscapeSequences, NamedEscapesGiveTheirCharacters) {
  EXPECT_EQ(Escaped("a\\nb\\rc\\td\\ve\\af\\\"g"), std::string("a\nb\rc\td\ve\af\"g"));
}

TEST(EscapeSequences, OtherCharactersAfterABackslashAreRemoved) {
  EXPECT_EQ(Escaped("a\\\\b"), "a\\b");  // two backslashes give one
  EXPECT_EQ(Escaped("a\\qb"), "a\\b");
  EXPECT_EQ(Escaped("end\\"), "end\\");  // a final backslash stays
}

TEST(EscapeSequences, OctalAndHexCodes) {
  EXPECT_EQ(Escaped("\\101\\x42\\x4a!"), "ABJ!");
  EXPECT_EQ(Escaped("\\1012"), "A2");   // at most three octal digits
  EXPECT_EQ(Escaped("\\x414"), "A4");   // at most two hex digits
  EXPECT_EQ(Escaped("a\\0b"), "ab");    // a zero code would end the text: dropped
  EXPECT_EQ(Escaped("a\\xzb"), "a\\zb");  // no hex digit: the x goes like any other letter
}

TEST(EscapeSequences, ProducedCharactersAreNotRescanned) {
  // The pair gives one backslash; the search goes on after it, so the n stays a letter.
  EXPECT_EQ(Escaped("\\\\n"), "\\n");
}

TEST(StringHelpers, PrefixAndCaseInsensitiveComparison) {
  EXPECT_EQ(IsTag("abc", "ab"), 1);
  EXPECT_EQ(IsTag("a", "ab"), 0);
  EXPECT_EQ(IsTag("ab", ""), 1);
  EXPECT_EQ(ZNK_EqualStringIgnoreCase("Box", "bOX"), 1);
  EXPECT_EQ(ZNK_EqualStringIgnoreCase("Box", "Boxes"), 0);
  EXPECT_EQ(ZNK_EqualString("Box", "box"), 0);
  EXPECT_EQ(ZNK_EqualString("Box", "Box"), 1);
  EXPECT_EQ(lowerCase('a'), 'A');
  EXPECT_EQ(lowerCase('1'), '1');
}

TEST(StringHelpers, KillAndReplace) {
  char text[] = "a-b-c";
  ReplaceCharsInString(text, '-', '/');
  EXPECT_STREQ(text, "a/b/c");
  KillString(text);
  for (char c : std::string(text, sizeof text - 1)) EXPECT_EQ(c, '\0');
}

TEST(StringHelpers, BoundedCopyAlwaysTerminates) {
  char small[4];
  ZNK_CopyString(small, "abcdef", sizeof small);
  EXPECT_STREQ(small, "abc");
  ZNK_CopyString(small, nullptr, sizeof small);
  EXPECT_STREQ(small, "");
}

TEST(ScriptFiles, LineEndsBecomeCarriageReturnsAndTheSignatureIsThePath) {
  zt::TempDir dir;
  std::string path = dir.Write("Data/s.txt", "a 1\r\nb 2\nc 3");
  InitScriptLists();
  ZNK_scripter* s = LoadScript(path.c_str());
  ASSERT_NE(s, nullptr);
  // Compiling the new script ends its text with a CR.
  EXPECT_STREQ(s->contents, "a 1\r\rb 2\rc 3\r");
  EXPECT_EQ(std::string(s->signature), path);
  EXPECT_EQ(baseScript.next, s);
  EXPECT_EQ(LoadScript((dir.path() + "/missing.txt").c_str()), nullptr);
  DisposeAllScripts();
}

TEST(ScriptFiles, Read1LineStopsAtLineEndsAndCutsLongLines) {
  zt::TempDir dir;
  std::string path = dir.Write("f.txt", "one\rtwo\n" + std::string(600, 'x'));
  FILE* f = std::fopen(path.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  char buffer[kRead1LineLimit + 1];
  EXPECT_EQ(Read1Line(f, buffer), 0);
  EXPECT_STREQ(buffer, "one");
  EXPECT_EQ(Read1Line(f, buffer), 0);
  EXPECT_STREQ(buffer, "two");
  EXPECT_EQ(Read1Line(f, buffer), 0);
  EXPECT_EQ(std::strlen(buffer), static_cast<size_t>(kRead1LineLimit));
  EXPECT_EQ(Read1Line(f, buffer), -1);
  EXPECT_EQ(std::strlen(buffer), 600u - kRead1LineLimit);
  std::fclose(f);
}
