// Object models: the parsed model of each model file is kept with the file's bytes; a make
// that reads the same bytes again copies it. The texture lines of its materials are loaded
// again in file order, so the texture cache and its messages see what parsing would do.
#include "models/object_models.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "models/zntl_model.h"
#include "render/textures.h"
#include "script/script_file.h"
#include "shell/startup.h"

namespace {

struct DisposeModel {
  void operator()(zntlmdl* mdl) const { Dispose_Zyntrel_Mdl(mdl); }
};

// A model file as last read: its bytes, the model parsed from them (never given to an
// object) and the texture lines met while parsing.
struct KeptModel {
  std::vector<unsigned char> bytes;
  std::unique_ptr<zntlmdl, DisposeModel> model;
  std::vector<ModelTextureLine> textures;
};

std::unordered_map<std::string, KeptModel> gKeptModels;

// Loads the kept model's texture lines again, in order, into `names`. False when a texture
// would now load where it failed before or fail where it loaded: the material's seams then
// differ, and only parsing the file gives the right model. Whether a load can succeed is
// asked first (the file exists), so that such a model loads its textures only once.
bool ReloadTextures(const KeptModel& kept, std::vector<unsigned int>* names) {
  for (const ModelTextureLine& line : kept.textures) {
    char path[2048];
    std::snprintf(path, sizeof path, "%s%s", routePath, line.file.c_str());
    if ((ZNK_FileExists(path) != 0) != (line.texture != 0)) return false;
  }
  for (const ModelTextureLine& line : kept.textures) names->push_back(LoadTextureAsLoadtex(line.file.c_str()));
  for (size_t i = 0; i < names->size(); i++)
    if (((*names)[i] != 0) != (kept.textures[i].texture != 0)) return false;
  return true;
}

// The copy takes the texture names of this load: each material the last one of its lines
// gave, and its triangles the material's.
void SetCopyTextures(zntlmdl* copy, const KeptModel& kept, const std::vector<unsigned int>& names) {
  bool changed = false;
  for (size_t i = 0; i < names.size(); i++) {
    if (names[i] == kept.textures[i].texture) continue;
    copy->materials[kept.textures[i].material].materialTexture = names[i];
    changed = true;
  }
  if (!changed) return;
  level_triangle* t = copy->baseLT.next;
  for (uint32_t m = 0; m < copy->numMaterials; m++) {
    for (uint32_t k = 0; k < copy->materials[m].numTriangles && t; k++, t = t->next)
      t->theTexture = copy->materials[m].materialTexture;
  }
}

}  // namespace

zntlmdl* LoadObjectModel(const char* path) {
  if (!path) return nullptr;
  static std::vector<unsigned char> bytes;
  if (!ReadModelFile(path, &bytes)) return nullptr;

  auto kept = gKeptModels.find(path);
  if (kept != gKeptModels.end() && kept->second.bytes == bytes) {
    std::vector<unsigned int> names;
    if (ReloadTextures(kept->second, &names)) {
      zntlmdl* copy = CopyZyntrelMdl(kept->second.model.get());
      if (copy) {
        SetCopyTextures(copy, kept->second, names);
        return copy;
      }
    }
  }
  if (kept != gKeptModels.end()) gKeptModels.erase(kept);

  KeptModel fresh;
  fresh.model.reset(NewZyntrelMdl());
  if (!fresh.model) return nullptr;
  if (!Load_Zyntrel_MdlFromMemory(bytes.data(), bytes.size(), path, fresh.model.get(), kZntlObjectModel,
                                  &fresh.textures)) {
    std::free(fresh.model.release());
    return nullptr;
  }
  // Without room for a copy the object takes the parsed model itself.
  zntlmdl* copy = CopyZyntrelMdl(fresh.model.get());
  if (!copy) return fresh.model.release();
  fresh.bytes = bytes;
  gKeptModels[path] = std::move(fresh);
  return copy;
}

void FlushObjectModels() { gKeptModels.clear(); }
