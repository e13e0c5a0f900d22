// mesh_read FILE: reads and prepares FILE as the base mesh, exactly as
// start-up does, with the reader's commentary on standard output (send it to
// /dev/null). Reports the faces read and the CPU and wall seconds taken on
// standard error; run it under /usr/bin/time for the peak memory.
#include <time.h>

#include <chrono>
#include <cstdio>
#include <iostream>

#include "mesh/prepare.h"
#include "mesh/reader.h"

namespace {

double cpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: mesh_read FILE\n");
    return 2;
  }
  MeshState meshes;
  const double cpuStart = cpuSeconds();
  const auto wallStart = std::chrono::steady_clock::now();
  ReadFile(meshes, argv[1], 1, std::cout, std::cerr);
  prepareMesh(meshes, 1, std::cout);
  std::fflush(stdout);
  const double cpu = cpuSeconds() - cpuStart;
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
  std::fprintf(stderr, "faces %zu vertices %zu cpu %.6f wall %.6f\n",
               meshes.lighterBaseTriangles.size(), meshes.lighterBaseVertices.size(), cpu, wall);
  return 0;
}
