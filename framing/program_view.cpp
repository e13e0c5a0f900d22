// What the program makes of the files, and the small geometry the framing shares.
#include "framing/parts.h"
#include "mesh/measure.h"

namespace framing {

namespace {

Vector3 asFloats(const Vec3& v) {
  return {static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)};
}

std::vector<Vector3> floatsOf(const Mesh* mesh) {
  std::vector<Vector3> out;
  for (size_t i = 0; mesh != nullptr && i < mesh->vertices.size(); ++i) {
    out.push_back(asFloats(mesh->vertices[i]));
  }
  return out;
}

Vec3 asView(const Vector3& v) { return {v.x, v.y, v.z}; }

template <typename Chain>
std::vector<Vec3> worldOf(const Mesh& mesh, Chain chain) {
  const Affine toWorld = sampleAffine(chain);
  std::vector<Vec3> world;
  for (const Vec3& v : mesh.vertices) world.push_back(toWorld(v));
  return world;
}

}  // namespace

Bounds boundsOf(const std::vector<Vec3>& points) {
  return boxOf(points, Bounds{{HUGE_VAL, HUGE_VAL, HUGE_VAL}, {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL}});
}

Vec3 meanOf(const std::vector<Vec3>& points) {
  Vec3 sum;
  for (const Vec3& p : points) sum = sum + p;
  return (1.0 / static_cast<double>(points.size())) * sum;
}

FramingTarget framingTarget() {
  constexpr double kInset = 0.25;
  const view::PixelRect& area = view::kClickArea;
  return {area.left + kInset, area.right - kInset, area.bottom + kInset,
          std::min<double>(view::flameOrigin().y, area.top), view::flameOrigin().x};
}

view::MeshFrame programFrame(const Mesh& base, const Mesh* lid) {
  const std::vector<Vector3> floats = floatsOf(&base);
  return {readerExtent(floats), asView(floatMean(floats)), asView(floatMean(floatsOf(lid)))};
}

std::vector<Vec3> baseWorld(const Mesh& base, const view::MeshFrame& frame) {
  return worldOf(base, [&](Vec3 p) { return view::baseToWorld(frame, p); });
}

std::vector<Vec3> lidWorld(const Mesh& lid, const view::MeshFrame& frame) {
  return worldOf(lid, [&](Vec3 q) { return view::lidToWorld(frame, q); });
}

size_t dropFacesWithoutNormal(Mesh& mesh) {
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

}  // namespace framing
