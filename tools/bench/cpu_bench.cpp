// Google Benchmark micro-benchmarks of the CPU work around the GL calls:
// the particle pass, the walk over the shipped meshes, and the mesh reader
// per face at three sizes (text in memory, commentary to /dev/null).
//
// cpu_bench RESULTS_FILE [benchmark flags]: the results table goes to
// RESULTS_FILE because standard output carries the reader's commentary.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "mesh/prepare.h"
#include "mesh/reader.h"
#include "particles/particles.h"
#include "tools/bench/cpu_work.h"
#include "tools/bench/synthetic_mesh.h"

namespace {

// The shipped meshes, read and prepared as start-up does.
const MeshState& shippedMeshes() {
  static const MeshState meshes = [] {
    MeshState m;
    const std::string dir = LIGHTER_DATA_DIR;
    ReadFile(m, (dir + "/lighterBase.m").c_str(), 1, std::cout, std::cerr);
    prepareMesh(m, 1, std::cout);
    ReadFile(m, (dir + "/lighterTop.m").c_str(), 0, std::cout, std::cerr);
    prepareMesh(m, 0, std::cout);
    return m;
  }();
  return meshes;
}

// A lit flame after enough passes for every particle to have respawned.
FlameState litFlame() {
  FlameState flame;
  flame.yspeed = 80.0f;
  flame.zoom = -10.0f;
  flame.flameOn = 1;
  initParticles(flame, std::rand);
  for (int i = 0; i < 400; ++i) bench::particlePassWithoutGl(flame);
  return flame;
}

void BM_ParticlePass(benchmark::State& state) {
  FlameState flame = litFlame();
  for (auto _ : state) {
    bench::particlePassWithoutGl(flame);
    benchmark::DoNotOptimize(flame.particle[0].position[1]);
  }
  state.SetItemsProcessed(state.iterations() * kParticleCount);
}
BENCHMARK(BM_ParticlePass);

void BM_MeshWalk(benchmark::State& state) {
  const MeshState& meshes = shippedMeshes();
  const bool smooth = state.range(0) != 0;
  for (auto _ : state) benchmark::DoNotOptimize(bench::traverseMeshes(meshes, smooth));
  state.SetItemsProcessed(
      state.iterations() *
      static_cast<int64_t>(meshes.lighterBaseTriangles.size() + meshes.lighterTopTriangles.size()));
  state.SetLabel(smooth ? "smooth" : "wireframe");
}
BENCHMARK(BM_MeshWalk)->Arg(1)->Arg(0);

// Whole read and preparation of a synthetic mesh; items are faces.
void BM_ReadMesh(benchmark::State& state) {
  const size_t faces = static_cast<size_t>(state.range(0));
  const std::string text = bench::syntheticMesh(faces);
  for (auto _ : state) {
    MeshState meshes;
    std::istringstream in(text);
    readStream(meshes, in, 1, "synthetic.m", std::cout);  // standard output is /dev/null
    prepareMesh(meshes, 1, std::cout);
    benchmark::DoNotOptimize(meshes.lighterBaseNormals.data());
  }
  std::fflush(stdout);
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(faces));
}
BENCHMARK(BM_ReadMesh)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: cpu_bench RESULTS_FILE [benchmark flags]\n");
    return 2;
  }
  std::ofstream results(argv[1]);
  const int devnull = open("/dev/null", O_WRONLY);
  dup2(devnull, STDOUT_FILENO);
  close(devnull);
  argv[1] = argv[0];
  int rest = argc - 1;
  benchmark::Initialize(&rest, argv + 1);
  benchmark::ConsoleReporter reporter(benchmark::ConsoleReporter::OO_Tabular);
  reporter.SetOutputStream(&results);
  reporter.SetErrorStream(&results);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
