// The Lit mode's plain side: the meshes' vertex arrays and the flame's light
// as functions of the flame's state.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "render/lit_model.h"

namespace {

TEST(LitMesh, KeepsVertexOrderAndTurnsCornersIntoZeroBasedIndices) {
  const std::vector<Vector3> vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  const std::vector<Vector3> normals = {{0, 0, 1}, {0, 1, 0}, {1, 0, 0}, {0, 0, -1}};
  // The third face names a fifth vertex, the fourth a corner 0: both are left out.
  const std::vector<Tri> faces = {{1, 2, 3, {}}, {4, 3, 2, {}}, {1, 2, 5, {}}, {0, 1, 2, {}}};
  const LitMesh mesh = buildLitMesh(vertices, normals, faces);
  EXPECT_EQ(mesh.positions, (std::vector<float>{0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1}));
  EXPECT_EQ(mesh.normals, (std::vector<float>{0, 0, 1, 0, 1, 0, 1, 0, 0, 0, 0, -1}));
  EXPECT_EQ(mesh.indices, (std::vector<unsigned int>{0, 1, 2, 3, 2, 1}));
}

TEST(LitMesh, AFaceNeedsANormalAtEachCorner) {
  const std::vector<Vector3> vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  const LitMesh mesh = buildLitMesh(vertices, {{0, 0, 1}, {0, 0, 1}}, {{1, 2, 3, {}}});
  EXPECT_TRUE(mesh.indices.empty());
  EXPECT_EQ(mesh.positions.size(), 6u);  // only vertices that have a normal
}

TEST(LitMesh, BothMeshesAreBuiltOnceForTheWholeRun) {
  MeshState meshes;
  meshes.lighterBaseVertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  meshes.lighterBaseNormals = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
  meshes.lighterBaseTriangles = {{1, 2, 3, {}}};
  LitState lit;
  buildLitMeshes(meshes, lit);
  EXPECT_TRUE(lit.built);
  EXPECT_EQ(lit.body.indices, (std::vector<unsigned int>{0, 1, 2}));
  EXPECT_TRUE(lit.lid.indices.empty());
  meshes.lighterBaseTriangles.clear();
  buildLitMeshes(meshes, lit);  // already built: kept as it is
  EXPECT_EQ(lit.body.indices.size(), 3u);
}

// A burning flame whose particles are all old and far from the base, but
// `young` of them, which are newborn at the base.
std::unique_ptr<FlameState> flameWithYoung(int young) {
  auto flame = std::make_unique<FlameState>();
  flame->flameOn = 1;
  for (int i = 0; i < kParticleCount; ++i) {
    Particle& p = flame->particle[i];
    p.alive = true;
    p.life = i < young ? 0.95f : 0.3f;
    p.position[1] = i < young ? 0.1f : 2.0f;
  }
  return flame;
}

TEST(FlameLight, CountsOnlyYoungParticlesNearTheBase) {
  auto flame = flameWithYoung(150);
  EXPECT_EQ(youngParticlesAtBase(*flame), 150);
  flame->particle[0].position[1] = 0.9f;  // risen away from the base
  flame->particle[1].life = 0.5f;         // half burnt
  flame->particle[2].alive = false;
  EXPECT_EQ(youngParticlesAtBase(*flame), 147);
}

TEST(FlameLight, BrightensWithTheYoungParticlesWithinItsBounds) {
  float previous = 0.0f;
  for (int young : {0, 120, 140, 155, 170, 200, 1000}) {
    const float k = flameBrightness(*flameWithYoung(young));
    EXPECT_GE(k, previous) << young;
    EXPECT_GE(k, kFlickerLow) << young;
    EXPECT_LE(k, kFlickerHigh) << young;
    previous = k;
  }
  // A steady flame's count (about 135 to 180) spans most of the range.
  EXPECT_LT(flameBrightness(*flameWithYoung(140)), flameBrightness(*flameWithYoung(170)) - 0.2f);
  EXPECT_EQ(flameBrightness(*flameWithYoung(0)), kFlickerLow);
  EXPECT_EQ(flameBrightness(*flameWithYoung(1000)), kFlickerHigh);
}

TEST(FlameLight, TakesTheNewbornsColourAndIsOffWithTheFlame) {
  auto flame = flameWithYoung(1000);
  for (int col : {0, 1, 3, 7, 11}) {
    flame->col = col;
    const FlameLight light = flameLight(*flame);
    EXPECT_TRUE(light.on);
    for (int c = 0; c < 3; ++c) EXPECT_FLOAT_EQ(light.color[c], kFlickerHigh * colors[col][c]);
  }
  flame->flameOn = 0;
  const FlameLight out = flameLight(*flame);
  EXPECT_FALSE(out.on);
  EXPECT_EQ(out.color[0] + out.color[1] + out.color[2], 0.0f);
}

TEST(FlameLight, ASparkFlashesWhiteHot) {
  auto flame = flameWithYoung(1000);
  flame->col = 7;  // blue
  flame->playSpark = 1;
  EXPECT_EQ(flameBrightness(*flame), kSparkFlash);
  const FlameLight light = flameLight(*flame);
  for (int c = 0; c < 3; ++c) {
    EXPECT_FLOAT_EQ(light.color[c], kSparkFlash * (colors[7][c] + 1.0f) / 2.0f);
    EXPECT_GT(light.color[c], kFlickerHigh);
  }
}

TEST(FlameLight, DrawsNoRandomNumber) {
  auto flame = flameWithYoung(150);
  std::srand(3);
  const int expected = std::rand();
  std::srand(3);
  flameLight(*flame);
  flameBrightness(*flame);
  EXPECT_EQ(std::rand(), expected);
}

}  // namespace
