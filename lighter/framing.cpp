#include "lighter/framing.h"

#include <algorithm>

#include "view/view_model.h"

bool frameLidAlone(MeshState& m) {
  if (!m.lighterBaseVertices.empty() || m.lighterTopVertices.empty()) return false;
  Vector3 low = m.lighterTopVertices.front();
  Vector3 high = low;
  for (const Vector3& v : m.lighterTopVertices) {
    low = {std::min(low.x, v.x), std::min(low.y, v.y), std::min(low.z, v.z)};
    high = {std::max(high.x, v.x), std::max(high.y, v.y), std::max(high.z, v.z)};
  }
  const float extent = std::max(high.x - low.x, high.y - low.y);
  if (extent > 0.0f) m.max_extent = extent;  // a flat point of a lid keeps 1
  const Vector3& top = m.centerTop;
  const view::Vec3 centre = view::centreForLidAlone({top.x, top.y, top.z});
  m.centerBase = {static_cast<float>(centre.x), static_cast<float>(centre.y),
                  static_cast<float>(centre.z)};
  return true;
}
