// Chooses the level-geometry reader for a file by its header bytes, then by its name.
#include "models/import_dispatch.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "models/import_3ds.h"
#include "models/import_coalesce.h"
#include "models/import_lwo.h"
#include "models/import_obj.h"
#include "models/import_zntl.h"
#include "script/script_file.h"
#include "shell/output.h"
#include "world/level_mesh.h"
#include "world/meshwork_reader.h"

void ImportModelWithAutoDetect(const char* gameName, float scaleFactor) {
  // The readers get the name as found on disk; the OBJ ending is judged on the name as the
  // game wrote it, as on the file systems games were made on.
  std::string found(gameName);
  FixPathString(&found[0]);
  const char* fileName = found.c_str();
  FILE* file = OpenGameFile(fileName);
  if (!file) {
    OutputToDialog("An error occured while attempting to open the file.");
    return;
  }
  char head[12] = {0};
  size_t got = std::fread(head, 1, 11, file);
  head[got] = '\0';
  std::fclose(file);
  gXLocked = gYLocked = gZLocked = 0;

  if (got >= 11 && std::memcmp(head, "FORM", 4) == 0 && std::memcmp(head + 8, "LWO", 3) == 0) {
    ImportLightwaveModel(fileName, scaleFactor * 500.0f);
    return;
  }
  if (got == 11 && std::memcmp(head, "Zyntrel Mdl", 11) == 0) {
    Import_Zyntrel_Mdl(fileName, scaleFactor);
    return;
  }
  head[8] = '\0';
  if (std::strcmp(head, "Coalesce") == 0) {
    ImportCoalesceModel(fileName, scaleFactor);
    return;
  }
  if (std::strcmp(head, "Mesh\t1\t1") == 0) {
    LoadTrianglesFromMeshworkModel(fileName, scaleFactor, 0);
    return;
  }
  if (got >= 2 && head[0] == 'M' && head[1] == 'M') {
    ImportMeshFrom3DS(fileName, scaleFactor);
    return;
  }
  size_t length = std::strlen(gameName);
  if (length >= 4 && std::strcmp(gameName + length - 4, ".obj") == 0) {
    ImportWavefrontOBJModel(fileName, scaleFactor);
    return;
  }
  OutputToDialog(
      "That file format is not supported. Only WTF, Meshwork, Coalesce, 3DS, OBJ and LWO are supported as of "
      "now.");
}
