// The player's command line.
#pragma once
#include <string>

#include "shell/startup.h"

enum ParseResult { kParseRun = 0, kParseExit = 1, kParseUsageError = 2 };

// Fills `options` from argv. On kParseExit `message` holds --help or --version text for
// standard output; on kParseUsageError it holds the complaint for standard error.
ParseResult ParsePlayerOptions(int argc, char** argv, PlayerOptions* options, std::string* message);

extern const char* kUsageText;
