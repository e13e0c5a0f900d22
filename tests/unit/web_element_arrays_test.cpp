// glDrawElements's arrays as the web adapter hands them to the emulation,
// which reads client indices as 16-bit ones.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "web/element_arrays.h"

namespace {

TEST(WebElementArrays, NarrowsIndicesOnlyWhenEveryOneFits) {
  std::vector<std::uint16_t> narrow;
  const std::vector<std::uint32_t> small{0, 7, 65535, 3};
  ASSERT_TRUE(web::narrowIndices(small.data(), small.size(), narrow));
  EXPECT_EQ(narrow, (std::vector<std::uint16_t>{0, 7, 65535, 3}));
  const std::vector<std::uint32_t> large{0, 65536, 1};
  EXPECT_FALSE(web::narrowIndices(large.data(), large.size(), narrow));  // never wrapped to 0
}

TEST(WebElementArrays, GathersVerticesInIndexOrderThroughTheStride) {
  // Two floats of something else after each position: a stride of 20 bytes.
  const std::vector<float> interleaved{0, 1, 2, -1, -1, 10, 11, 12, -1, -1, 20, 21, 22, -1, -1};
  const web::FloatArray array{interleaved.data(), 3, 5 * sizeof(float)};
  const std::vector<std::uint32_t> indices{2, 0, 2};
  EXPECT_EQ(web::gatherVertices(array, indices.data(), indices.size()),
            (std::vector<float>{20, 21, 22, 0, 1, 2, 20, 21, 22}));
  const std::vector<float> packed{0, 1, 2, 3, 4, 5};  // stride 0: packed
  const std::vector<std::uint32_t> second{1};
  EXPECT_EQ(web::gatherVertices({packed.data(), 3, 0}, second.data(), 1),
            (std::vector<float>{3, 4, 5}));
}

TEST(WebElementArrays, TheMiddleIsThatOfTheBoxAroundTheIndexedVertices) {
  const std::vector<float> positions{-1, 0, 4, 3, 2, 0, 100, 100, 100};
  const std::vector<std::uint32_t> firstTwo{0, 1, 1};  // the third vertex is not drawn
  const view::Vec3 middle = web::middleOf({positions.data(), 3, 0}, firstTwo.data(), 3);
  EXPECT_DOUBLE_EQ(middle.x, 1.0);
  EXPECT_DOUBLE_EQ(middle.y, 1.0);
  EXPECT_DOUBLE_EQ(middle.z, 2.0);
  const view::Vec3 none = web::middleOf({positions.data(), 3, 0}, firstTwo.data(), 0);
  EXPECT_EQ(none.x + none.y + none.z, 0.0);
}

}  // namespace
