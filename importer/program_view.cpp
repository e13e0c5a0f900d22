#include "importer/program_view.h"

#include <algorithm>
#include <cmath>

#include "importer/solve.h"
#include "mesh/measure.h"

namespace importer {

namespace {

// The program reads every coordinate as a float.
Vector3 asFloats(const view::Vec3& v) {
  return {static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)};
}

std::vector<Vector3> asFloats(const std::vector<view::Vec3>& vertices) {
  std::vector<Vector3> out;
  out.reserve(vertices.size());
  for (const view::Vec3& v : vertices) out.push_back(asFloats(v));
  return out;
}

view::Vec3 asView(const Vector3& v) { return {v.x, v.y, v.z}; }

// Which vertices faces name: only those are drawn.
std::vector<bool> drawnVertices(const dataset::Mesh& mesh) {
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

PixelBox pictureOf(const dataset::Mesh& mesh, const Affine& toWorld) {
  const std::vector<bool> drawn = drawnVertices(mesh);
  PixelBox box;
  for (size_t i = 0; i < mesh.vertices.size(); ++i) {
    if (drawn[i]) box.add(view::worldToWindow(toWorld(mesh.vertices[i])));
  }
  return box;
}

std::vector<view::Vec3> worldOf(const dataset::Mesh& mesh, const Affine& toWorld) {
  std::vector<view::Vec3> world;
  world.reserve(mesh.vertices.size());
  for (const view::Vec3& v : mesh.vertices) world.push_back(toWorld(v));
  return world;
}

Affine baseChain(const view::MeshFrame& frame) {
  return chainOf([&](view::Vec3 p) { return view::baseToWorld(frame, p); });
}

Affine lidChain(const view::MeshFrame& frame) {
  return chainOf([&](view::Vec3 q) { return view::lidToWorld(frame, q); });
}

}  // namespace

view::MeshFrame programFrame(const std::vector<view::Vec3>& base,
                             const std::vector<view::Vec3>& lid) {
  const std::vector<Vector3> baseFloats = asFloats(base);
  view::MeshFrame frame;
  frame.maxExtent = readerExtent(baseFloats);
  frame.centerBase = asView(floatMean(baseFloats));
  frame.centerTop = asView(floatMean(asFloats(lid)));
  return frame;
}

PixelBox bodyPicture(const dataset::Mesh& base, const view::MeshFrame& frame) {
  return pictureOf(base, baseChain(frame));
}

PixelBox lidPicture(const dataset::Mesh& lid, const view::MeshFrame& frame) {
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

size_t dropFacesWithoutNormal(dataset::Mesh& mesh) {
  const size_t before = mesh.faces.size();
  auto noNormal = [&](const dataset::Face& f) {
    const Vector3 n = faceNormal(asFloats(mesh.vertices[static_cast<size_t>(f[0])]),
                                 asFloats(mesh.vertices[static_cast<size_t>(f[1])]),
                                 asFloats(mesh.vertices[static_cast<size_t>(f[2])]));
    // Zero: the edges' cross product is too long for a float.
    return !(std::isfinite(n.x) && std::isfinite(n.y) && std::isfinite(n.z)) ||
           (n.x == 0.0f && n.y == 0.0f && n.z == 0.0f);
  };
  mesh.faces.erase(std::remove_if(mesh.faces.begin(), mesh.faces.end(), noNormal),
                   mesh.faces.end());
  return before - mesh.faces.size();
}

std::vector<view::Vec3> baseWorld(const dataset::Mesh& base, const view::MeshFrame& frame) {
  return worldOf(base, baseChain(frame));
}

std::vector<view::Vec3> lidWorld(const dataset::Mesh& lid, const view::MeshFrame& frame) {
  return worldOf(lid, lidChain(frame));
}

}  // namespace importer
