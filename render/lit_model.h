// The "Lit" mode's plain side: the meshes as arrays for glDrawElements, built
// once, and the flame's light as a function of the flame's own state. No GL.
#pragma once

#include <vector>

#include "mesh/mesh.h"
#include "particles/particles.h"
#include "render/flame_buffer.h"
#include "render/flame_quads.h"
#include "textures/image.h"

// One mesh as client vertex arrays: three floats of position and three of
// normal per vertex, in the mesh's vertex order, and three 0-based indices
// per drawable face. An imported mesh's look (its sidecar file) adds two
// floats of texture coordinate and three bytes of colour per vertex; the
// arrays it lacks stay empty.
struct LitMesh {
  std::vector<float> positions;
  std::vector<float> normals;
  std::vector<unsigned int> indices;
  std::vector<float> uv;
  std::vector<unsigned char> rgb;
};

// How Lit draws a mesh: the model's texture through the mesh's texture
// coordinates, the mesh's colours, or brushed silver.
enum class LitSurface { kSilver, kTextured, kColoured };

// The texture wins when the mesh has coordinates and the model's texture is
// there; then the colours; silver when the mesh has neither (or arrays that
// do not hold one entry per vertex).
LitSurface surfaceOf(const LitMesh& mesh, bool haveModelTexture);

// A face is drawn when each of its 1-based corners has a vertex and a
// normal; other faces are left out, as the other modes skip them.
LitMesh buildLitMesh(const std::vector<Vector3>& vertices, const std::vector<Vector3>& normals,
                     const std::vector<Tri>& faces);

// What the Lit frames keep between frames: the meshes' arrays, built once
// at start-up (frames allocate nothing), and the texture names the particle
// image and the model's texture get of their own (0 until the first Lit
// frame uploads them). The model's texture waits in `modelImage` until then.
// The flame's squares and its buffer (flame_quads.h, flame_buffer.h) are
// kept for the frames that draw the flame.
struct LitState {
  bool built = false;
  LitMesh body;
  LitMesh lid;
  unsigned int particleTexture = 0;
  Image modelImage;
  unsigned int modelTexture = 0;
  FlameQuads flameQuads;
  FlameTarget flameTarget;
};

// Builds both meshes' arrays once. Without the memory for them the arrays
// stay empty and Lit draws no meshes; the other modes never use them.
void buildLitMeshes(const MeshState& meshes, LitState& lit);

// The flame's light: off while the flame is out; otherwise the colour of the
// particles being born, scaled by how brightly the flame burns this frame.
struct FlameLight {
  bool on = false;
  float color[3] = {0.0f, 0.0f, 0.0f};
};

// Particles just born (life above 0.8) still close to the flame's base: the
// flame's fuel this frame, counted without drawing any random number.
int youngParticlesAtBase(const FlameState& flame);

// The flame's brightness, between kFlickerLow and kFlickerHigh, following the
// count of young particles at the base; a spark burst flashes at kSparkFlash.
inline constexpr float kFlickerLow = 0.3f;
inline constexpr float kFlickerHigh = 0.65f;
inline constexpr float kSparkFlash = 1.2f;
float flameBrightness(const FlameState& flame);

FlameLight flameLight(const FlameState& flame);
