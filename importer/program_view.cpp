#include "importer/program_view.h"

#include <algorithm>
#include <cmath>

#include "importer/solve.h"
#include "mesh/mesh.h"

namespace importer {

namespace {

struct FloatPoint {
  float x, y, z;
};

FloatPoint asFloats(const datagen::Vec3& v) {
  return {static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)};
}

view::Vec3 meanOf(const std::vector<datagen::Vec3>& vertices) {
  float x = 0.0f, y = 0.0f, z = 0.0f;
  for (const datagen::Vec3& v : vertices) {
    const FloatPoint p = asFloats(v);
    x += p.x;
    y += p.y;
    z += p.z;
  }
  if (vertices.empty()) return {};
  const auto n = static_cast<float>(vertices.size());
  return {x / n, y / n, z / n};
}

// Which vertices faces name: only those are drawn.
std::vector<bool> drawnVertices(const datagen::Mesh& mesh) {
  std::vector<bool> drawn(mesh.vertices.size(), false);
  for (const auto& f : mesh.faces) {
    for (int c : f) drawn[static_cast<size_t>(c)] = true;
  }
  return drawn;
}

// The program's chain from a mesh file's coordinates to the world is affine
// in the point; taken once from the view module, it is applied to every vertex.
template <typename ToWorld>
Affine chainOf(ToWorld toWorld) {
  return sampleAffine([&](view::Vec3 p) { return toWorld(p); });
}

PixelBox pictureOf(const datagen::Mesh& mesh, const Affine& toWorld) {
  const std::vector<bool> drawn = drawnVertices(mesh);
  PixelBox box;
  for (size_t i = 0; i < mesh.vertices.size(); ++i) {
    if (drawn[i]) box.add(view::worldToWindow(toWorld(toView(mesh.vertices[i]))));
  }
  return box;
}

std::vector<datagen::Vec3> worldOf(const datagen::Mesh& mesh, const Affine& toWorld) {
  std::vector<datagen::Vec3> world;
  world.reserve(mesh.vertices.size());
  for (const datagen::Vec3& v : mesh.vertices) world.push_back(toDatagen(toWorld(toView(v))));
  return world;
}

Affine baseChain(const view::MeshFrame& frame) {
  return chainOf([&](view::Vec3 p) { return view::baseToWorld(frame, p); });
}

Affine lidChain(const view::MeshFrame& frame) {
  return chainOf([&](view::Vec3 q) { return view::lidToWorld(frame, q); });
}

}  // namespace

view::MeshFrame programFrame(const std::vector<datagen::Vec3>& base,
                             const std::vector<datagen::Vec3>& lid) {
  float maxX = kBoxMaxStart, maxY = kBoxMaxStart, minX = kBoxMinStart, minY = kBoxMinStart;
  for (const datagen::Vec3& v : base) {
    const FloatPoint p = asFloats(v);
    if (p.x > maxX) maxX = p.x;
    if (p.x < minX) minX = p.x;
    if (p.y > maxY) maxY = p.y;
    if (p.y < minY) minY = p.y;
  }
  float extent = maxX - minX;
  if (maxY - minY > extent) extent = maxY - minY;
  view::MeshFrame frame;
  frame.maxExtent = extent;
  frame.centerBase = meanOf(base);
  frame.centerTop = meanOf(lid);
  return frame;
}

PixelBox bodyPicture(const datagen::Mesh& base, const view::MeshFrame& frame) {
  return pictureOf(base, baseChain(frame));
}

PixelBox lidPicture(const datagen::Mesh& lid, const view::MeshFrame& frame) {
  return pictureOf(lid, lidChain(frame));
}

FramingTarget framingTarget() {
  constexpr double kInset = 0.25;
  const view::PixelRect& area = view::kClickArea;
  FramingTarget t;
  t.left = area.left + kInset;
  t.right = area.right - kInset;
  t.bottom = area.bottom + kInset;
  t.top = std::min<double>(view::flameOrigin().y, area.top);
  t.flameX = view::flameOrigin().x;
  return t;
}

size_t dropFacesWithoutNormal(datagen::Mesh& mesh) {
  const size_t before = mesh.faces.size();
  auto noNormal = [&](const std::array<int, 3>& f) {
    const FloatPoint p1 = asFloats(mesh.vertices[static_cast<size_t>(f[0])]);
    const FloatPoint p2 = asFloats(mesh.vertices[static_cast<size_t>(f[1])]);
    const FloatPoint p3 = asFloats(mesh.vertices[static_cast<size_t>(f[2])]);
    const FloatPoint a{p2.x - p1.x, p2.y - p1.y, p2.z - p1.z};
    const FloatPoint b{p3.x - p1.x, p3.y - p1.y, p3.z - p1.z};
    const FloatPoint n{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
    const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    return !(length > 0.0f) || !std::isfinite(length);
  };
  mesh.faces.erase(std::remove_if(mesh.faces.begin(), mesh.faces.end(), noNormal),
                   mesh.faces.end());
  return before - mesh.faces.size();
}

std::vector<datagen::Vec3> baseWorld(const datagen::Mesh& base, const view::MeshFrame& frame) {
  return worldOf(base, baseChain(frame));
}

std::vector<datagen::Vec3> lidWorld(const datagen::Mesh& lid, const view::MeshFrame& frame) {
  return worldOf(lid, lidChain(frame));
}

}  // namespace importer
