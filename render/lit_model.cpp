#include "render/lit_model.h"

#include <algorithm>
#include <cstddef>
#include <new>

namespace {

// A particle counts as young while it has used less than a fifth of its
// life, and as at the base while it is within this distance of its birth
// point (particle units; a particle's square is one unit wide).
constexpr float kYoungLife = 0.8f;
constexpr float kBaseRadius = 0.5f;
// The young particles a steady flame has at its base, between a thin frame
// and a full one; the brightness follows the count linearly between them.
constexpr int kThinFlame = 135;
constexpr int kFullFlame = 180;

bool hasCorner(int corner, const std::vector<Vector3>& array) {
  return corner >= 1 && static_cast<std::size_t>(corner) <= array.size();
}

void append(std::vector<float>& out, const Vector3& v) { out.insert(out.end(), {v.x, v.y, v.z}); }

}  // namespace

LitMesh buildLitMesh(const std::vector<Vector3>& vertices, const std::vector<Vector3>& normals,
                     const std::vector<Tri>& faces) {
  LitMesh mesh;
  const std::size_t count = std::min(vertices.size(), normals.size());
  mesh.positions.reserve(3 * count);
  mesh.normals.reserve(3 * count);
  for (std::size_t i = 0; i < count; ++i) {
    append(mesh.positions, vertices[i]);
    append(mesh.normals, normals[i]);
  }
  mesh.indices.reserve(3 * faces.size());
  for (const Tri& face : faces) {
    const int corners[3] = {face.corner1, face.corner2, face.corner3};
    if (!std::all_of(corners, corners + 3,
                     [&](int c) { return hasCorner(c, vertices) && hasCorner(c, normals); })) {
      continue;
    }
    for (int c : corners) mesh.indices.push_back(static_cast<unsigned int>(c - 1));
  }
  return mesh;
}

LitSurface surfaceOf(const LitMesh& mesh, bool haveModelTexture) {
  const std::size_t vertices = mesh.positions.size() / 3;
  if (haveModelTexture && !mesh.uv.empty() && mesh.uv.size() == 2 * vertices) {
    return LitSurface::kTextured;
  }
  if (!mesh.rgb.empty() && mesh.rgb.size() == 3 * vertices) return LitSurface::kColoured;
  return LitSurface::kSilver;
}

void buildLitMeshes(const MeshState& meshes, LitState& lit) {
  if (lit.built) return;
  lit.built = true;
  try {
    lit.body = buildLitMesh(meshes.lighterBaseVertices, meshes.lighterBaseNormals,
                            meshes.lighterBaseTriangles);
    lit.lid = buildLitMesh(meshes.lighterTopVertices, meshes.lighterTopNormals,
                           meshes.lighterTopTriangles);
  } catch (const std::bad_alloc&) {
    lit.body = LitMesh{};
    lit.lid = LitMesh{};
  }
}

int youngParticlesAtBase(const FlameState& flame) {
  const float r2 = kBaseRadius * kBaseRadius;
  return static_cast<int>(
      std::count_if(flame.particle.begin(), flame.particle.end(), [&](const Particle& p) {
        const float* q = p.position;
        return p.alive && p.life > kYoungLife && q[0] * q[0] + q[1] * q[1] + q[2] * q[2] <= r2;
      }));
}

float flameBrightness(const FlameState& flame) {
  if (flame.playSpark == 1) return kSparkFlash;
  const float share = static_cast<float>(youngParticlesAtBase(flame) - kThinFlame) /
                      static_cast<float>(kFullFlame - kThinFlame);
  return kFlickerLow + (kFlickerHigh - kFlickerLow) * std::clamp(share, 0.0f, 1.0f);
}

FlameLight flameLight(const FlameState& flame) {
  FlameLight light;
  if (flame.flameOn == 0) return light;
  light.on = true;
  const float* rgb = colors[std::clamp(flame.col, 0, kColorCount - 1)];
  // A spark is white-hot: its flash takes half its colour from white.
  const float white = flame.playSpark == 1 ? 0.5f : 0.0f;
  const float k = flameBrightness(flame);
  for (int c = 0; c < 3; ++c) light.color[c] = k * (rgb[c] * (1.0f - white) + white);
  return light;
}
