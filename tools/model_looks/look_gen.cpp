// Writes one of the project's models with a look of its own:
//   look_gen quad|quad-without-texture|two-colours|striped-candle OUTPUT
// OUTPUT's extension picks the format (.obj, .dae, .gltf, .glb); textures
// are written beside it, or into it for .glb.
#include <cstdio>
#include <exception>
#include <string>

#include "tools/model_looks/look_models.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s quad|quad-without-texture|two-colours|striped-candle OUTPUT\n",
                 argv[0]);
    return 2;
  }
  const std::string kind = argv[1];
  try {
    if (kind == "quad") {
      looks::writeTexturedQuad(argv[2]);
    } else if (kind == "quad-without-texture") {
      looks::writeTexturedQuad(argv[2], false);
    } else if (kind == "two-colours") {
      looks::writeTwoColourBoxes(argv[2]);
    } else if (kind == "striped-candle") {
      looks::writeStripedCandle(argv[2]);
    } else {
      std::fprintf(stderr, "look_gen: unknown model %s\n", kind.c_str());
      return 2;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "look_gen: %s\n", e.what());
    return 1;
  }
  std::printf("look_gen: wrote %s\n", argv[2]);
  return 0;
}
