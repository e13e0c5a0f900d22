#include "lighter/framing.h"

#include "mesh/measure.h"
#include "view/view_model.h"

bool frameLidAlone(MeshState& m) {
  if (!m.lighterBaseVertices.empty() || m.lighterTopVertices.empty()) return false;
  const float extent = planExtent(boxFromFirst<Vector3>(m.lighterTopVertices));
  if (extent > 0.0f) m.max_extent = extent;  // a flat point of a lid keeps 1
  const Vector3& top = m.centerTop;
  const view::Vec3 centre = view::centreForLidAlone({top.x, top.y, top.z});
  m.centerBase = {static_cast<float>(centre.x), static_cast<float>(centre.y),
                  static_cast<float>(centre.z)};
  return true;
}
