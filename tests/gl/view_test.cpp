// The view module against a real frame: the outermost points of the shipped
// model land on the window pixels the program draws them at.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

#include "tests/gl/gl_fixture.h"
#include "view/view_model.h"

// Last: X11 headers define macros that clash with other headers.
#include <GL/glx.h>
#include <X11/Xutil.h>

namespace {

// Extremes in window pixels counted from the lower-left corner.
struct Bounds {
  double left = 1e9, right = -1e9, bottom = 1e9, top = -1e9;
  void add(double x, double y) {
    left = std::min(left, x);
    right = std::max(right, x);
    bottom = std::min(bottom, y);
    top = std::max(top, y);
  }
};

view::Vec3 vec(const Vector3& v) { return {v.x, v.y, v.z}; }

// Where the view module puts every corner of every face of the two meshes.
Bounds predicted(const MeshState& m) {
  const view::MeshFrame frame{m.max_extent, vec(m.centerBase), vec(m.centerTop)};
  Bounds b;
  const auto addFaces = [&](const std::vector<Tri>& faces, const std::vector<Vector3>& vertices,
                            bool lid) {
    for (const Tri& f : faces) {
      for (int corner : {f.corner1, f.corner2, f.corner3}) {
        const view::Vec3 p = vec(vertices[static_cast<size_t>(corner - 1)]);
        const view::Vec3 world = lid ? view::lidToWorld(frame, p) : view::baseToWorld(frame, p);
        const view::Pixel pixel = view::worldToWindow(world);
        b.add(pixel.x, pixel.y);
      }
    }
  };
  addFaces(m.lighterBaseTriangles, m.lighterBaseVertices, false);
  addFaces(m.lighterTopTriangles, m.lighterTopVertices, true);
  return b;
}

// The pixels the window shows after the last frame's swap, as the X server
// holds them, as the indices of the outermost lit ones.
Bounds drawn() {
  Display* display = glXGetCurrentDisplay();
  XSync(display, False);
  XImage* image = XGetImage(display, glXGetCurrentDrawable(), 0, 0, view::kWindowWidth,
                            view::kWindowHeight, AllPlanes, ZPixmap);
  if (image == nullptr) throw std::runtime_error("XGetImage failed");
  Bounds b;
  for (int row = 0; row < view::kWindowHeight; ++row) {
    for (int x = 0; x < view::kWindowWidth; ++x) {
      if ((XGetPixel(image, x, row) & 0xFFFFFF) != 0) b.add(x, view::kWindowHeight - 1 - row);
    }
  }
  XDestroyImage(image);
  return b;
}

// A filled triangle lights the pixels whose centres (x + 0.5, y + 0.5) it
// covers: the first one at or after the outermost point, the last one at or
// before it. A pixel of slack for the corners of a slanted edge.
constexpr double kSlack = 1.0;
double firstPixel(double at) { return std::ceil(at - 0.5); }
double lastPixel(double at) { return std::floor(at - 0.5); }

TEST(ViewModel, OutermostPointsOfTheModelLandWhereTheFrameDrawsThem) {
  Scene& scene = gltest::startLighter();
  scene.flame.flameOn = 0;
  scene.view.display_mode = kSmooth;
  gltest::drawFrame();
  ASSERT_EQ(scene.view.GW, view::kWindowWidth);
  ASSERT_EQ(scene.view.GH, view::kWindowHeight);

  const Bounds want = predicted(scene.meshes);
  const Bounds got = drawn();
  // The body is leftmost and lowest, the open lid rightmost and highest.
  EXPECT_NEAR(got.left, firstPixel(want.left), kSlack);
  EXPECT_NEAR(got.bottom, firstPixel(want.bottom), kSlack);
  EXPECT_NEAR(got.right, lastPixel(want.right), kSlack);
  EXPECT_NEAR(got.top, lastPixel(want.top), kSlack);
  // And the picture is where the model is, not an empty or a clipped one.
  EXPECT_LT(want.left, want.right - 100);
  EXPECT_GT(want.left, 0.0);
  EXPECT_LT(want.top, view::kWindowHeight);
}

}  // namespace
