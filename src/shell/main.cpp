// The zyntrel program: parses the command line and runs the player.
#include <cstdio>
#include <string>

#include "shell/options.h"
#include "shell/startup.h"

int main(int argc, char** argv) {
  PlayerOptions options;
  std::string message;
  switch (ParsePlayerOptions(argc, argv, &options, &message)) {
    case kParseExit:
      std::fputs(message.c_str(), stdout);
      return 0;
    case kParseUsageError:
      std::fputs(message.c_str(), stderr);
      return 2;
    case kParseRun:
      break;
  }
  return PlayerMain(options);
}
