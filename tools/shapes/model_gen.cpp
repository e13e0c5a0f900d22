// Writes one of the project's own models, for trying the importer:
//   model_gen SHAPE FACES OUTPUT
// SHAPE is candle, case or lid; FACES about how many triangles; OUTPUT's
// extension picks the format (.obj, .stl, .ply, .off, .glb, .gltf, .dae,
// .3ds), written with that format's usual up axis (Z for STL and 3DS).
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "tools/shapes/shapes.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s candle|case|lid FACES OUTPUT\n", argv[0]);
    return 2;
  }
  const std::string shape = argv[1];
  char* end = nullptr;
  const unsigned long long faces = std::strtoull(argv[2], &end, 10);
  if (*end != '\0' || faces == 0 || faces > 100000000ULL) {
    std::fprintf(stderr, "model_gen: FACES must be a number from 1 to 100000000\n");
    return 2;
  }
  try {
    importer::Mesh mesh;
    if (shape == "candle") {
      mesh = shapes::candle(faces);
    } else if (shape == "case") {
      mesh = shapes::lighterCase(faces);
    } else if (shape == "lid") {
      mesh = shapes::lighterLid(faces);
    } else {
      std::fprintf(stderr, "model_gen: unknown shape %s (candle, case or lid)\n", shape.c_str());
      return 2;
    }
    shapes::exportModel(mesh, argv[3], importer::conventionalUpAxis(argv[3]));
    std::printf("model_gen: wrote %s: %zu triangles, %zu vertices\n", argv[3], mesh.faces.size(),
                mesh.vertices.size());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "model_gen: %s\n", e.what());
    return 1;
  }
  return 0;
}
