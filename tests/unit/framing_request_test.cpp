// The framing asked for a point under the flame and a lid standing where the
// design put it, as the shipped lighter is placed.
#include <gtest/gtest.h>

#include <cmath>

#include "framing/frame.h"
#include "tools/shapes/shapes.h"

namespace {

constexpr double kHalfWidth = 2.0, kHeight = 5.4;

// A box-shaped body and, right of its top, a lid as the design has it.
struct Design {
  dataset::Mesh body = shapes::box(100, 2 * kHalfWidth, kHeight, 1.3);
  dataset::Mesh lid = shapes::box(60, 4.0, 2.0, 1.3);
  Design() {
    for (view::Vec3& v : lid.vertices) v = v + view::Vec3{2 * kHalfWidth + 0.5, kHeight - 2.0, 0.0};
  }
};

framing::Request lighterLike(const dataset::Mesh* lid) {
  framing::Request request;
  request.lid = lid;
  request.lidInPlace = true;
  request.anchor = view::Vec3{kHalfWidth, kHeight, 0.65};  // the body's upper right front corner
  const view::Pixel flame = view::flameOrigin();
  request.target = {0.0, view::kWindowWidth, 20.0, flame.y, flame.x};
  return request;
}

size_t vertexAt(const dataset::Mesh& mesh, view::Vec3 p) {
  size_t best = 0;
  for (size_t i = 0; i < mesh.vertices.size(); ++i) {
    if (view::length(mesh.vertices[i] - p) < view::length(mesh.vertices[best] - p)) best = i;
  }
  return best;
}

TEST(FramingRequest, TheAnchorShowsAtTheFlameAndTheBottomOnTheTargetRow) {
  const Design design;
  const framing::FramedModel framed = framing::frameModel(design.body, lighterLike(&design.lid));
  const size_t corner = vertexAt(design.body, *lighterLike(nullptr).anchor);
  const view::Pixel p = view::worldToWindow(framing::baseWorld(framed.base, framed.frame)[corner]);
  EXPECT_NEAR(p.x, view::flameOrigin().x, 0.01);
  EXPECT_NEAR(p.y, view::flameOrigin().y, 0.01);
  EXPECT_NEAR(framed.body.bottom, 20.0, 0.01);
}

// The oracle: the same design framed as one body, lid and all. Each lid
// vertex must show on the same pixel.
TEST(FramingRequest, ALidInPlaceShowsWhereTheDesignPutsItBesideTheBody) {
  const Design design;
  const framing::FramedModel framed = framing::frameModel(design.body, lighterLike(&design.lid));
  dataset::Mesh whole = design.body;
  const int offset = static_cast<int>(whole.vertices.size());
  whole.vertices.insert(whole.vertices.end(), design.lid.vertices.begin(),
                        design.lid.vertices.end());
  for (dataset::Face f : design.lid.faces)
    whole.faces.push_back({f[0] + offset, f[1] + offset, f[2] + offset});
  const framing::FramedModel one = framing::frameModel(whole, lighterLike(nullptr));

  const std::vector<view::Vec3> lid = framing::lidWorld(framed.lid, framed.frame);
  const std::vector<view::Vec3> asBody = framing::baseWorld(one.base, one.frame);
  ASSERT_EQ(lid.size(), design.lid.vertices.size());
  for (size_t i = 0; i < lid.size(); ++i) {
    const view::Vec3 expected = asBody[static_cast<size_t>(offset) + i];
    const view::Pixel p = view::worldToWindow(lid[i]), q = view::worldToWindow(expected);
    EXPECT_NEAR(p.x, q.x, 0.01) << i;
    EXPECT_NEAR(p.y, q.y, 0.01) << i;
  }
}

}  // namespace
