// Checking a game folder instead of playing it (zyntrel --check): every script reachable from
// the start script (through `script` and `level`) is read, compiled so that its macros are
// known, and run through the static checker; every file or folder a command would open is
// looked up through the game paths. No window and no sound are started.
#include "shell/game_check.h"

#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "script/command_table.h"
#include "script/compiler.h"
#include "script/script_file.h"
#include "shell/game_paths.h"
#include "shell/output.h"
#include "shell/startup.h"

namespace {

// A name a script line gives that must be found on disk.
struct NamedFile {
  int line;
  std::string name;       // as the script writes it
  bool folder = false;    // a folder rather than a file
  bool model = false;     // looked for in the Models folders
};

struct CheckedScript {
  std::string path;        // as found on disk
  std::string levelFolder; // the level folder whose "load script.txt" this is, else empty
  std::string text;
  std::vector<NamedFile> names;
};

std::string gCheckedFile;  // prefixed to every console line while its script is checked
int gFindings = 0;

// The console during a check: each line gets the script's path in front.
void CheckOutputToConsole(const char* text) {
  const char* p = text;
  while (*p) {
    const char* end = std::strchr(p, '\n');
    size_t length = end ? static_cast<size_t>(end - p) : std::strlen(p);
    std::string line(p, length);
    std::printf("%s: %s\n", gCheckedFile.c_str(), line.c_str());
    p += length;
    if (*p == '\n') p++;
  }
}

void CheckOutputToDialog(const char* text) { std::fprintf(stderr, "%s\n", text); }

bool EndsWithIgnoringCase(const std::string& text, const char* ending) {
  size_t n = std::strlen(ending);
  return text.size() >= n && ZNK_EqualStringIgnoreCase(text.c_str() + text.size() - n, ending);
}

// The first double-quoted text of the parameters, or false when there is none.
bool QuotedName(const char* parms, std::string* name) {
  const char* open = std::strchr(parms, '"');
  if (!open) return false;
  const char* close = std::strchr(open + 1, '"');
  if (!close || close == open + 1) return false;
  name->assign(open + 1, static_cast<size_t>(close - open - 1));
  return true;
}

// The names a line's command would open, as the commands themselves build them; names taken
// from registers (empty parameters) are known only when the game runs.
void CollectNames(int line, const char* command, const char* parms, std::vector<NamedFile>* names,
                  std::vector<NamedFile>* scripts, std::vector<NamedFile>* levels) {
  std::string name;
  if (!std::strcmp(command, "loadtex")) {
    if (parms[0] && parms[0] != '"') name = parms;
    else if (!QuotedName(parms, &name)) return;
    names->push_back({line, name});
    return;
  }
  if (!std::strcmp(command, "loadanim")) {
    if (QuotedName(parms, &name)) names->push_back({line, name, true});
    return;
  }
  if (!QuotedName(parms, &name)) return;
  if (!std::strcmp(command, "mesh") || !std::strcmp(command, "sndload") || !std::strcmp(command, "readtext")) {
    names->push_back({line, name});
  } else if (!std::strcmp(command, "open")) {
    const char* mode = std::strchr(std::strchr(parms, '"') + 1, '"') + 1;
    if (*mode == ',') mode++;
    if (!std::strpbrk(mode, "wa+")) names->push_back({line, name});
  } else if (!std::strcmp(command, "make")) {
    if (name.size() < 4 || name.compare(name.size() - 4, 4, ".wtf") != 0) name += ".wtf";
    names->push_back({line, name, false, true});
  } else if (!std::strcmp(command, "script")) {
    if (!EndsWithIgnoringCase(name, ".txt")) name += ".txt";
    scripts->push_back({line, name});
  } else if (!std::strcmp(command, "level")) {
    levels->push_back({line, name, true});
  }
}

// The whole file as text, or false when it cannot be read.
bool ReadText(const std::string& path, std::string* text) {
  FILE* file = OpenGameFile(path.c_str());
  if (!file) return false;
  text->clear();
  char chunk[65536];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) text->append(chunk, got);
  std::fclose(file);
  // A NUL byte ends a script text, as when the game loads it.
  text->resize(std::strlen(text->c_str()));
  return true;
}

void ReportMissing(const NamedFile& named, const char* what) {
  gFindings++;
  OutputToConsoleF("// ERROR l.%d: %s not found: \"%s\"\n", named.line, what, named.name.c_str());
}

}  // namespace

int CheckGame() {
  toConsole = CheckOutputToConsole;
  toDialog = CheckOutputToDialog;
  gFindings = 0;
  InitScriptLists();
  BuiltScriptCommandArrays();

  // Every reachable script, each once (by its path on disk), in the order they are found.
  std::vector<CheckedScript> scripts;
  std::set<std::string> seen;
  std::vector<std::string> levelFolders;

  char startScript[1200];
  std::snprintf(startScript, sizeof startScript, "%sData%cgame script.txt", routePath, kDirectoryDevider);
  std::vector<std::pair<std::string, std::string>> queue = {{startScript, ""}};  // path, level folder
  for (size_t next = 0; next < queue.size(); next++) {
    CheckedScript script;
    script.path = ResolveGamePath(queue[next].first.c_str());
    script.levelFolder = queue[next].second;
    if (!seen.insert(script.path).second) continue;
    if (!ReadText(script.path, &script.text)) {
      if (next == 0) {
        gCheckedFile = startScript;
        OutputToConsole("// ERROR: the start script cannot be read\n");
        toConsole = MyOutputToConsole;
        toDialog = MyOutputToDialog;
        std::printf("// Checked no script: 1 problem\n");
        return 1;
      }
      continue;
    }
    std::vector<NamedFile> attached, levels;
    ForEachScriptLine(script.text.c_str(), [&](int line, const char*, char* command, char* parms) {
      CollectNames(line, command, parms, &script.names, &attached, &levels);
    });
    for (const NamedFile& named : attached) {
      std::string path = std::string(routePath) + named.name;
      if (ZNK_FileExists(path.c_str()))
        queue.push_back({path, ""});
      else
        script.names.push_back(named);  // reported below as a missing file
    }
    for (const NamedFile& named : levels) {
      std::string folder = ResolveGamePath((std::string(routePath) + named.name + kDirectoryDevider).c_str());
      std::string load = folder + "load script.txt";
      if (!ZNK_FileExists(load.c_str())) {
        NamedFile missing = named;
        missing.name += std::string(1, kDirectoryDevider) + "load script.txt";
        missing.folder = false;
        script.names.push_back(missing);
        continue;
      }
      levelFolders.push_back(folder);
      queue.push_back({load, folder});
    }
    scripts.push_back(script);
  }

  // Compiling every script first makes every macro known to the checker.
  std::vector<ZNK_scripter*> compiled;
  for (const CheckedScript& script : scripts) compiled.push_back(NewZNKScript(script.text.c_str()));

  for (const CheckedScript& script : scripts) {
    gCheckedFile = script.path;
    std::vector<ScriptBlock> unclosed;
    gFindings += FindBugsInScript(script.text.c_str(), &unclosed);
    // Where the blocks that the counts above miss begin; a "begin" has no count of its own.
    for (const ScriptBlock& block : unclosed) {
      OutputToConsoleF("// ERROR l.%d: \"%s\" is never closed\n", block.line, block.word);
      if (!std::strcmp(block.word, "begin")) gFindings++;
    }
    for (const NamedFile& named : script.names) {
      std::string path = std::string(routePath) + named.name;
      if (named.folder) {
        if (!GameFolderExists(path.c_str())) ReportMissing(named, "folder");
        continue;
      }
      if (!named.model) {
        if (!ZNK_FileExists(path.c_str())) ReportMissing(named, "file");
        continue;
      }
      // A model is looked for in the Models folder of the level in play, then of the game:
      // the script's own level, or any level of the game when the script is not a level's.
      std::vector<std::string> places;
      if (!script.levelFolder.empty()) places.push_back(script.levelFolder);
      else places = levelFolders;
      places.push_back(routePath);
      bool found = false;
      for (size_t k = 0; k < places.size() && !found; k++) {
        std::string candidate = places[k] + "Models" + kDirectoryDevider + named.name;
        found = ZNK_FileExists(candidate.c_str()) != 0;
      }
      if (!found) ReportMissing(named, "model");
    }
  }

  for (ZNK_scripter* script : compiled) DisposeScript(script);
  FreeAllMacros();
  FreeScriptCommandArrays();
  toConsole = MyOutputToConsole;
  toDialog = MyOutputToDialog;
  if (gFindings == 0) {
    std::printf("// Checked %zu scripts: no problems\n", scripts.size());
    return 0;
  }
  std::printf("// Checked %zu scripts: %d problems\n", scripts.size(), gFindings);
  return 1;
}
