#include "web/element_arrays.h"

#include <limits>

#include "mesh/measure.h"

namespace web {

bool narrowIndices(const std::uint32_t* indices, std::size_t count,
                   std::vector<std::uint16_t>& out) {
  out.resize(count);
  for (std::size_t i = 0; i < count; ++i) {
    if (indices[i] > std::numeric_limits<std::uint16_t>::max()) return false;
    out[i] = static_cast<std::uint16_t>(indices[i]);
  }
  return true;
}

namespace {

std::size_t floatsApart(const FloatArray& array) {
  return array.strideBytes > 0 ? static_cast<std::size_t>(array.strideBytes) / sizeof(float)
                               : static_cast<std::size_t>(array.components);
}

}  // namespace

std::vector<float> gatherVertices(const FloatArray& array, const std::uint32_t* indices,
                                  std::size_t count) {
  const auto components = static_cast<std::size_t>(array.components);
  const std::size_t stride = floatsApart(array);
  std::vector<float> packed(count * components);
  for (std::size_t i = 0; i < count; ++i) {
    const float* vertex = array.data + indices[i] * stride;
    for (std::size_t c = 0; c < components; ++c) packed[i * components + c] = vertex[c];
  }
  return packed;
}

view::Vec3 middleOf(const FloatArray& array, const std::uint32_t* indices, std::size_t count) {
  if (count == 0) return {0.0, 0.0, 0.0};
  const std::size_t stride = floatsApart(array);
  // A vertex of fewer than three components lies at 0 on the others.
  auto point = [&](std::size_t i) {
    const float* vertex = array.data + indices[i] * stride;
    return Vector3{vertex[0], array.components > 1 ? vertex[1] : 0.0f,
                   array.components > 2 ? vertex[2] : 0.0f};
  };
  Box<Vector3> box{point(0), point(0)};
  for (std::size_t i = 1; i < count; ++i) widen(box, point(i));
  return {(box.min.x + box.max.x) / 2.0, (box.min.y + box.max.y) / 2.0,
          (box.min.z + box.max.z) / 2.0};
}

}  // namespace web
