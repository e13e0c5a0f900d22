#include "lighter/shown_model.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <optional>
#include <vector>

#include "view/picking.h"

namespace {

view::Vec3 asView(const Vector3& v) { return {v.x, v.y, v.z}; }

bool indexes(int corner, const std::vector<Vector3>& vertices) {
  return corner >= 1 && static_cast<std::size_t>(corner) <= vertices.size();
}

// One mesh as the frame draws it: its vertices, its faces (those whose
// corners all have a vertex), and the placement that puts it in the world.
struct PlacedMesh {
  const std::vector<Vector3>& vertices;
  const std::vector<Tri>& faces;
  view::Placement placement;
};

template <typename Visit>
void forEachFace(const PlacedMesh& mesh, Visit visit) {
  for (const Tri& f : mesh.faces) {
    if (!indexes(f.corner1, mesh.vertices) || !indexes(f.corner2, mesh.vertices) ||
        !indexes(f.corner3, mesh.vertices)) {
      continue;
    }
    visit(view::Triangle{asView(mesh.vertices[f.corner1 - 1]), asView(mesh.vertices[f.corner2 - 1]),
                         asView(mesh.vertices[f.corner3 - 1])});
  }
}

PlacedMesh body(const MeshState& m) {
  return {m.lighterBaseVertices, m.lighterBaseTriangles, view::bodyPlacement(meshFrameOf(m))};
}

PlacedMesh lid(const MeshState& m) {
  return {m.lighterTopVertices, m.lighterTopTriangles, view::lidPlacement(meshFrameOf(m))};
}

// Whether a triangle's picture at the start view can reach `bounds`: false
// only when all three corners lie in front of the eye and beside the bounds
// together.
bool mayReach(const view::Triangle& t, const view::Placement& placement,
              const view::PixelBounds& bounds) {
  view::PixelBounds seen{
      std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
      std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
  for (const view::Vec3& corner : {t.a, t.b, t.c}) {
    const view::Vec3 eye = view::worldToEye(apply(placement, corner));
    if (!(eye.z < 0.0)) return true;
    const view::Pixel p = view::eyeToWindow(eye);
    seen = {std::min(seen.left, p.x), std::max(seen.right, p.x), std::min(seen.bottom, p.y),
            std::max(seen.top, p.y)};
  }
  return seen.right >= bounds.left && seen.left <= bounds.right && seen.top >= bounds.bottom &&
         seen.bottom <= bounds.top;
}

// The depth of the body vertex nearest the flame's origin on screen, of
// those in front of the eye.
std::optional<double> nearestVertexDepth(const PlacedMesh& mesh) {
  const view::Pixel origin = view::flameOrigin();
  std::optional<double> depth;
  double best = std::numeric_limits<double>::infinity();
  for (const Vector3& v : mesh.vertices) {
    const view::Vec3 eye = view::worldToEye(apply(mesh.placement, asView(v)));
    if (!view::isDrawnDepth(-eye.z)) continue;
    const view::Pixel p = view::eyeToWindow(eye);
    const double d = (p.x - origin.x) * (p.x - origin.x) + (p.y - origin.y) * (p.y - origin.y);
    if (d < best) {
      best = d;
      depth = -eye.z;
    }
  }
  return depth;
}

}  // namespace

view::MeshFrame meshFrameOf(const MeshState& m) {
  return {m.max_extent, asView(m.centerBase), asView(m.centerTop)};
}

view::Stage stageOf(const MeshState& meshes) {
  view::Box box;
  for (const PlacedMesh& mesh : {body(meshes), lid(meshes)}) {
    forEachFace(mesh, [&](const view::Triangle& t) {
      for (const view::Vec3& corner : {t.a, t.b, t.c}) box.add(apply(mesh.placement, corner));
    });
  }
  return view::stageOf(box);
}

double flameDepthOf(const MeshState& meshes) {
  const PlacedMesh mesh = body(meshes);
  const view::PixelBounds bounds = view::flameProbeBounds();
  std::vector<std::optional<view::Ray>> probes;
  for (const view::Ray& ray : view::flameProbes()) probes.push_back(rayInto(mesh.placement, ray));
  std::vector<double> crossings;
  forEachFace(mesh, [&](const view::Triangle& t) {
    if (!mayReach(t, mesh.placement, bounds)) return;
    for (const auto& ray : probes) {
      if (!ray) continue;
      if (const auto depth = view::crossing(*ray, t)) crossings.push_back(*depth);
    }
  });
  return view::flameDepth(crossings, crossings.empty() ? nearestVertexDepth(mesh) : std::nullopt);
}

void stageModel(ViewState& view, const MeshState& meshes) {
  view.stage = stageOf(meshes);
  view.flameDepth = flameDepthOf(meshes);
}

bool showsModel(const MeshState& meshes, const view::Rig& rig, int x, int yUp, int width,
                int height) {
  const view::Ray world = view::rayThrough(rig, {x + 0.5, yUp + 0.5}, width, height);
  for (const PlacedMesh& mesh : {body(meshes), lid(meshes)}) {
    const std::optional<view::Ray> ray = rayInto(mesh.placement, world);
    if (!ray) continue;
    bool met = false;
    forEachFace(mesh, [&](const view::Triangle& t) {
      if (met) return;
      const auto depth = view::crossing(*ray, t);
      met = depth && view::isDrawnDepth(*depth);
    });
    if (met) return true;
  }
  return false;
}
