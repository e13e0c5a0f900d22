#include "importer/program_view.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "mesh/measure.h"

namespace importer {

namespace {

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
  return sampleAffine([&](view::Vec3 p) { return view::baseToWorld(frame, p); });
}

Affine lidChain(const view::MeshFrame& frame) {
  return sampleAffine([&](view::Vec3 q) { return view::lidToWorld(frame, q); });
}

std::vector<Vector3> floatsOf(const std::vector<view::Vec3>& vertices) {
  std::vector<Vector3> out;
  out.reserve(vertices.size());
  for (const view::Vec3& v : vertices) out.push_back(asFloats(v));
  return out;
}

}  // namespace

view::Mat3 inverse(const view::Mat3& m) {
  const view::Vec3 r0{m[0][0], m[0][1], m[0][2]};
  const view::Vec3 r1{m[1][0], m[1][1], m[1][2]};
  const view::Vec3 r2{m[2][0], m[2][1], m[2][2]};
  // The inverse's columns are the cross products of the rows over the determinant.
  const view::Vec3 c0 = view::cross(r1, r2), c1 = view::cross(r2, r0), c2 = view::cross(r0, r1);
  const double det = view::dot(r0, c0);
  if (det == 0.0 || !std::isfinite(det)) throw std::domain_error("singular matrix");
  const double k = 1.0 / det;
  return {{{k * c0.x, k * c1.x, k * c2.x},
           {k * c0.y, k * c1.y, k * c2.y},
           {k * c0.z, k * c1.z, k * c2.z}}};
}

Affine inverse(const Affine& a) {
  Affine inv;
  inv.m = inverse(a.m);
  inv.b = -1.0 * (inv.m * a.b);
  return inv;
}

Bounds boundsOf(const std::vector<view::Vec3>& points) {
  Bounds b;
  for (view::Vec3 p : points) b.add(p);
  return b;
}

view::Vec3 meanOf(const std::vector<view::Vec3>& points) {
  view::Vec3 sum;
  for (view::Vec3 p : points) sum = sum + p;
  return (1.0 / static_cast<double>(points.size())) * sum;
}

Vector3 asFloats(const view::Vec3& v) {
  return {static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)};
}

std::vector<bool> drawnVertices(const dataset::Mesh& mesh) {
  std::vector<bool> drawn(mesh.vertices.size(), false);
  for (const auto& f : mesh.faces) {
    for (int c : f) drawn[static_cast<size_t>(c)] = true;
  }
  return drawn;
}

view::MeshFrame programFrame(const std::vector<view::Vec3>& base,
                             const std::vector<view::Vec3>& lid) {
  const std::vector<Vector3> baseFloats = floatsOf(base);
  view::MeshFrame frame;
  frame.maxExtent = readerExtent(baseFloats);
  frame.centerBase = asView(floatMean(baseFloats));
  frame.centerTop = asView(floatMean(floatsOf(lid)));
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
