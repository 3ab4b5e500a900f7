// Script files and command lines: the script record, loading a file into one, splitting a
// line into its command word and parameter text, the string helpers, the static checker,
// and the single entry through which any script runs.
#pragma once
#include <cstdio>
#include <functional>
#include <vector>

#include "shell/game_paths.h"  // FixPathString

struct human_being;
struct ZNK_comscrinstr;

// Working-buffer limits of one line.
constexpr int kMaxLineLength = 511;
constexpr int kMaxCommandWord = 31;
constexpr int kMaxParmsLength = 479;
constexpr int kRead1LineLimit = 513;

struct ZNK_scripter {
  char* contents;         // owned; lines end in CR
  long executionStart;    // gCurrentTime at which the current wait began
  long idleTime;          // length of the current wait in ms
  int waitForExecution;   // 1 while an idle is pending
  int looping;            // 1 while a loop is active
  int loopOffset;         // line interpreter: position just after the active loop line
  int offset;             // line interpreter: position where the next run starts
  char signature[1024];   // the path the script was loaded from, without the game folder
  long scriptStart;       // always 0
  long eventMask;         // events the script answers when it belongs to an object
  human_being* caller;    // owning object, or null for a global script
  int isMacro;            // 1 for a macro body
  ZNK_comscrinstr* allCompiled;  // owned; first compiled instruction, or null
  ZNK_comscrinstr* startWith;    // where the next slice starts; null when finished
  ZNK_scripter* next;
};

extern ZNK_scripter baseScript;  // head of the global script list; carries no script
extern ZNK_scripter* scriptPtr;

void InitScriptLists();

ZNK_scripter* LoadScript(const char* path);
// The whole file with every LF turned into a CR (malloc'd; the caller frees it), or null when
// it cannot be opened.
char* ReadScriptFile(const char* path);
ZNK_scripter* NewZNKScript(const char* text);
void ReadWholeFile(FILE* file, char* buffer);
void ReadCharsFromFile(FILE* file, char* buffer, long n);
int Read1Line(FILE* file, char* buffer);

// `line` (changed in place: the comment is cut off) into `command` (at least 32 bytes) and
// `parms` (at least kMaxParmsLength + 1 bytes).
void MakeZNKCommandOutOfLine(char* line, char* command, char* parms);
// Copies the line of `text` that starts at `pos` into `line` (at least kMaxLineLength + 1
// bytes; longer lines are cut) and returns the position after its line end. CR and LF both
// end a line; a LF right after a CR belongs to the same line end.
int TakeScriptLine(const char* text, int pos, int length, char* line);
// Takes one script line apart for the compiler, the line interpreter and the checker: its
// "#" prefix (none, one or two characters; a third "#" belongs to the command word), then
// the command word and parameters as MakeZNKCommandOutOfLine splits the rest. Returns the
// prefix length; `line` + that length is the line after its prefix, comment cut off.
int SplitScriptLine(char* line, char* command, char* parms);
char* InterpretEscapeSequences(char* text);

int ZNK_EqualString(const char* a, const char* b);
int ZNK_EqualStringIgnoreCase(const char* a, const char* b);
char lowerCase(char c);
int IsTag(const char* text, const char* tag);
void KillString(char* text);
void ReplaceCharsInString(char* text, char from, char to);

// Copies at most size - 1 characters and always terminates.
void ZNK_CopyString(char* destination, const char* source, size_t size);

int ExecuteZNKCommandScript(ZNK_scripter* script);
// A block word ("if", "repeat", "loop", "begin") still open at the end of a script text.
struct ScriptBlock {
  const char* word;
  int line;
};
// The static checker: its messages go to the console; returns how many it wrote. The blocks
// left open at the end go into `unclosed` when given.
int FindBugsInScript(const char* text, std::vector<ScriptBlock>* unclosed = nullptr);
// Visits every line of a script text that has a command word, numbered from 1 (a CR, a LF or
// a CR LF ends a line): the line after its "#" characters with the comment cut off, and the
// command word and parameter text it splits into.
void ForEachScriptLine(const char* text,
                       const std::function<void(int number, const char* line, char* command, char* parms)>& visit);

// Appends a CR when the text does not end in one (scripts are run and compiled that way).
void EnsureTrailingCR(ZNK_scripter* script);

// Frees every script of the global list (and the records it owns).
void DisposeAllScripts();
