#include "render/flame_quads.h"

#include <algorithm>

#include "render/flame_look.h"

namespace {

void widenBox(FlameQuads& quads, const FlameVertex& v) {
  const float p[3] = {v.x, v.y, v.z};
  for (int i = 0; i < 3; ++i) {
    quads.low[i] = quads.count == 0 ? p[i] : std::min(quads.low[i], p[i]);
    quads.high[i] = quads.count == 0 ? p[i] : std::max(quads.high[i], p[i]);
  }
}

}  // namespace

void clearQuads(FlameQuads& quads) {
  quads.count = 0;
  std::fill(quads.low, quads.low + 3, 0.0f);
  std::fill(quads.high, quads.high + 3, 0.0f);
}

void emitQuad(FlameQuads& quads, const float centre[3], const float halfU[3], const float halfV[3],
              const float rgba[4]) {
  if (quads.count + 6 > quads.vertices.size()) return;
  // Upper right, upper left, lower right, lower left: the other modes'
  // strip, as two triangles.
  constexpr float kSides[4][2] = {{1, 1}, {-1, 1}, {1, -1}, {-1, -1}};
  constexpr int kTriangles[6] = {0, 1, 2, 2, 1, 3};
  FlameVertex corners[4];
  for (int k = 0; k < 4; ++k) {
    const float u = kSides[k][0], v = kSides[k][1];
    FlameVertex& c = corners[k];
    c.x = centre[0] + u * halfU[0] + v * halfV[0];
    c.y = centre[1] + u * halfU[1] + v * halfV[1];
    c.z = centre[2] + u * halfU[2] + v * halfV[2];
    c.s = u > 0 ? 1.0f : 0.0f;
    c.t = v > 0 ? 1.0f : 0.0f;
    c.r = rgba[0];
    c.g = rgba[1];
    c.b = rgba[2];
    c.a = rgba[3];
  }
  for (int k : kTriangles) {
    widenBox(quads, corners[k]);
    quads.vertices[quads.count++] = corners[k];
  }
}

void buildFlameQuads(const FlameState& flame, FlameQuads& quads,
                     const view::FlamePlacement* moved) {
  clearQuads(quads);
  const view::Mat3* toView = moved != nullptr ? &moved->worldToEye.linear : nullptr;
  for (const Particle& p : flame.particle) {
    if (!p.alive) continue;
    const ParticleLook look = lookOf(p, flame, toView);
    if (!look.visible()) continue;
    if (moved == nullptr) {
      const float centre[3] = {look.centre[0], look.centre[1], look.centre[2] + flame.zoom};
      emitQuad(quads, centre, look.halfU, look.halfV, look.rgba);
      continue;
    }
    const auto square =
        view::placedSquare(*moved, {look.centre[0], look.centre[1], look.centre[2]}, flame.zoom);
    if (!square) continue;
    // A square of the start view is one unit wide; there it is 2 half wide.
    const auto k = static_cast<float>(2.0 * square->half);
    const float centre[3] = {static_cast<float>(square->centre.x),
                             static_cast<float>(square->centre.y),
                             static_cast<float>(square->centre.z)};
    float u[3], v[3];
    for (int i = 0; i < 3; ++i) {
      u[i] = k * look.halfU[i];
      v[i] = k * look.halfV[i];
    }
    emitQuad(quads, centre, u, v, look.rgba);
  }
}
