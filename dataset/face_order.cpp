#include "dataset/face_order.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <utility>

namespace dataset {

void sortNearestFirst(Mesh& mesh, const std::vector<Vec3>& world) {
  // Each face's distance key (minus its depth: nearest first) beside its
  // position, so that faces at the same depth keep their file order. Keys
  // side by side sort faster than positions into a table of depths.
  std::vector<std::pair<double, size_t>> keyed;
  keyed.reserve(mesh.faces.size());
  for (size_t i = 0; i < mesh.faces.size(); ++i) {
    const auto& f = mesh.faces[i];
    keyed.push_back({-(world[static_cast<size_t>(f[0])].z + world[static_cast<size_t>(f[1])].z +
                       world[static_cast<size_t>(f[2])].z),
                     i});
  }
  std::sort(keyed.begin(), keyed.end());
  std::vector<Face> sorted;
  sorted.reserve(keyed.size());
  for (const auto& k : keyed) sorted.push_back(mesh.faces[k.second]);
  mesh.faces = std::move(sorted);
}

}  // namespace dataset
