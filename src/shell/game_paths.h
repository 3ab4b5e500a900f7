// Game paths: every file or folder the player opens for a game passes through here. Games
// were authored on Windows, so a name may use "\" between folders and differ in case from
// the file on disk; reads are bounded to regular files of a sane size, and writes stay
// inside the game folder (`routePath`, which is empty: the working folder) with every
// symbolic link resolved.
#pragma once
#include <cstdio>
#include <string>

// No game file the player reads is larger than this; a larger one is refused with a "//" line.
constexpr long long kMaxGameFileBytes = 256LL << 20;

// The name with "\" read as "/", repeated separators and "./" components collapsed. ".."
// components stay: through a symbolic link they do not simply undo the component before.
std::string NormalGamePath(const char* path);

// The path on disk for a name a game gives: the normal form when it exists as written;
// otherwise each component, from the first, is matched without regard to the case of ASCII
// and Latin-1 letters. A component that exists exactly as written wins; among names that
// differ only by case the one that sorts first byte by byte wins (capitals before small
// letters). From the first component that matches nothing on, the name stays as written.
std::string ResolveGamePath(const char* path);

// The resolved path copied back in place. It is never longer than the text given.
void FixPathString(char* path);

// Opens a game file for reading: null when no such file exists, and null with a "//" line
// when it is not a regular file (a folder, a device, a FIFO) or larger than kMaxGameFileBytes.
FILE* OpenGameFile(const char* path);

// 1 when the name resolves to a regular file of at most kMaxGameFileBytes that opens for
// reading, else 0. Reports nothing.
int ZNK_FileExists(const char* path);

// 1 when the name resolves to a folder.
int GameFolderExists(const char* path);

// Opens a game file for writing with the C open `mode`. An existing file of any case is the
// one written; a new file takes its name as written inside the resolved folder. Refused with
// a "//" line unless the file, with every symbolic link resolved, lies inside the game folder.
// Null also when the folder does not exist. The folder listings are forgotten.
FILE* OpenGameFileForWriting(const char* path, const char* mode);

// Drops every cached folder listing (done after every write).
void ForgetGameFolderListings();
