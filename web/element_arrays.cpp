#include "web/element_arrays.h"

#include <algorithm>
#include <limits>

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
  const auto components = static_cast<std::size_t>(std::min(array.components, 3));
  float low[3] = {0.0f, 0.0f, 0.0f};
  float high[3] = {0.0f, 0.0f, 0.0f};
  for (std::size_t i = 0; i < count; ++i) {
    const float* vertex = array.data + indices[i] * stride;
    for (std::size_t c = 0; c < components; ++c) {
      low[c] = i == 0 ? vertex[c] : std::min(low[c], vertex[c]);
      high[c] = i == 0 ? vertex[c] : std::max(high[c], vertex[c]);
    }
  }
  return {(low[0] + high[0]) / 2.0, (low[1] + high[1]) / 2.0, (low[2] + high[2]) / 2.0};
}

}  // namespace web
