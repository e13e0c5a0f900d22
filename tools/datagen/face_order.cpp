#include "tools/datagen/face_order.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <numeric>

namespace datagen {

void sortNearestFirst(Mesh& mesh, const std::vector<Vec3>& world) {
  std::vector<double> depth;
  for (const auto& f : mesh.faces) {
    depth.push_back(world[static_cast<size_t>(f[0])].z + world[static_cast<size_t>(f[1])].z +
                    world[static_cast<size_t>(f[2])].z);
  }
  std::vector<size_t> order(mesh.faces.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return depth[a] > depth[b]; });
  std::vector<std::array<int, 3>> sorted;
  for (size_t i : order) sorted.push_back(mesh.faces[i]);
  mesh.faces = std::move(sorted);
}

}  // namespace datagen
