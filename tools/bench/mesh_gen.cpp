// mesh_gen FACES FILE: writes a synthetic `.m` mesh of FACES faces.
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "tools/bench/synthetic_mesh.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: mesh_gen FACES FILE\n");
    return 2;
  }
  const std::string text = bench::syntheticMesh(std::strtoull(argv[1], nullptr, 10));
  std::ofstream out(argv[2], std::ios::binary);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  return out ? 0 : 1;
}
