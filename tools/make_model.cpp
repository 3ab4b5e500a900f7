// Command-line front of the model writer: writes a box model for tests and example games.
//   g++ -std=c++17 -O1 -o make_model tools/make_model.cpp
//   make_model OUT.wtf [WIDTH HEIGHT DEPTH] [--wave] [--texture NAME] [--lit]
//              [--author TEXT] [--date TEXT] [--notes TEXT]
// --wave adds a looping animation "Wave" that turns the body 90 degrees about y and back.
// --texture adds the line "texture=NAME" and texture coordinates that show the whole picture
// on each side of the box. --lit adds "emission=1,1,1,1", so the box shows its own colours
// without any light. The header texts are empty unless given.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "zntl_model_writer.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: make_model OUT [WIDTH HEIGHT DEPTH] [--wave]\n");
    return 2;
  }
  float size[3] = {1, 2, 1};
  bool wave = false, lit = false;
  const char* texture = nullptr;
  const char* author = "";
  const char* date = "";
  const char* notes = "";
  int n = 0;
  for (int i = 2; i < argc; i++) {
    const bool hasValue = i + 1 < argc;
    if (std::strcmp(argv[i], "--wave") == 0) {
      wave = true;
    } else if (std::strcmp(argv[i], "--lit") == 0) {
      lit = true;
    } else if (std::strcmp(argv[i], "--texture") == 0 && hasValue) {
      texture = argv[++i];
    } else if (std::strcmp(argv[i], "--author") == 0 && hasValue) {
      author = argv[++i];
    } else if (std::strcmp(argv[i], "--date") == 0 && hasValue) {
      date = argv[++i];
    } else if (std::strcmp(argv[i], "--notes") == 0 && hasValue) {
      notes = argv[++i];
    } else if (n < 3) {
      size[n++] = static_cast<float>(std::atof(argv[i]));
    }
  }
  zmw::Model m = zmw::Box(size[0], size[1], size[2]);
  m.author = author;
  m.date = date;
  m.notes = notes;
  zmw::Material& skin = m.materials[0];
  if (lit) skin.settings.push_back("emission=1.000000,1.000000,1.000000,1.000000");
  if (texture) {
    skin.settings.push_back(std::string("texture=") + texture);
    zmw::ProjectUVs(m, skin);
  }
  if (wave) {
    zmw::Animation a;
    a.name = "Wave";
    a.instructions.push_back({0.0f, 0.5f, "morph=1,0,0,0,0,90,0"});
    a.instructions.push_back({0.5f, 1.0f, "morph=1,0,0,0,0,0,0"});
    m.animations.push_back(a);
  }
  FILE* out = std::fopen(argv[1], "wb");
  if (!out) {
    std::perror(argv[1]);
    return 1;
  }
  std::string text = zmw::Write(m);
  std::fwrite(text.data(), 1, text.size(), out);
  std::fclose(out);
  return 0;
}
