// Shared fixtures of the model tests: loading a generated model from memory and capturing
// the dialog hook.
#pragma once
#include <string>

#include "../../tools/zntl_model_writer.h"
#include "models/zntl_model.h"
#include "shell/output.h"

namespace mt {

// Loads `text` as the model "Models/name.wtf"; null when the loader refused it.
inline zntlmdl* LoadText(const std::string& text, const char* path = "game/Models/test.wtf") {
  zntlmdl* mdl = NewZyntrelMdl();
  if (!Load_Zyntrel_MdlFromMemory(reinterpret_cast<const unsigned char*>(text.data()), text.size(), path, mdl)) {
    std::free(mdl);
    return nullptr;
  }
  return mdl;
}

inline zntlmdl* Load(const zmw::Model& m, const char* path = "game/Models/test.wtf") {
  return LoadText(zmw::Write(m), path);
}

// Collects the texts sent through OutputToDialog while it lives.
class DialogCapture {
 public:
  DialogCapture() : saved_(toDialog) {
    texts().clear();
    toDialog = [](const char* text) { texts().push_back(text); };
  }
  ~DialogCapture() { toDialog = saved_; }
  static std::vector<std::string>& texts() {
    static std::vector<std::string> t;
    return t;
  }

 private:
  OutputHook saved_;
};

}  // namespace mt
