// Rays through pixels against the model for a moved camera, the flame's
// depth on the body at start-up, and the flame's squares placed on it.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "lighter/shown_model.h"
#include "particles/particles.h"
#include "view/flame_view.h"
#include "view/picking.h"

namespace {

using view::Vec3;

// ---- Models given in the world ----------------------------------------------

// The body file whose placement puts `world` where it is: the inverse of the
// program's chain for a frame of extent 1 about the origin.
MeshState bodyInTheWorld(const std::vector<Vec3>& world,
                         const std::vector<std::array<int, 3>>& faces) {
  MeshState m;
  m.max_extent = 1.0f;
  const view::Placement place = view::bodyPlacement(meshFrameOf(m));
  const view::Mat3 back = view::inverse(place.linear);
  for (const Vec3& w : world) {
    const Vec3 p = back * (w - place.offset);
    m.lighterBaseVertices.push_back(
        {static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)});
  }
  for (const auto& f : faces) m.lighterBaseTriangles.push_back({f[0], f[1], f[2], {}});
  return m;
}

// A closed box from `low` to `high`, twelve triangles.
MeshState boxInTheWorld(Vec3 low, Vec3 high) {
  std::vector<Vec3> corners;
  for (int i = 0; i < 8; ++i) {
    corners.push_back({i & 1 ? high.x : low.x, i & 2 ? high.y : low.y, i & 4 ? high.z : low.z});
  }
  const std::vector<std::array<int, 3>> faces = {{1, 2, 4}, {1, 4, 3}, {5, 6, 8}, {5, 8, 7},
                                                 {1, 2, 6}, {1, 6, 5}, {3, 4, 8}, {3, 8, 7},
                                                 {1, 3, 7}, {1, 7, 5}, {2, 4, 8}, {2, 8, 6}};
  return bodyInTheWorld(corners, faces);
}

void expectNear(Vec3 got, Vec3 want) {
  EXPECT_NEAR(got.x, want.x, 1e-12);
  EXPECT_NEAR(got.y, want.y, 1e-12);
  EXPECT_NEAR(got.z, want.z, 1e-12);
}

// The start view's depth of a world point on the line of sight.
double depthOf(double worldZ) { return view::kEye.z - worldZ; }

// ---- Rays -------------------------------------------------------------------

TEST(Picking, ARayThroughAPointsPixelMeetsItAtItsDepth) {
  const view::Rig rig = view::rigFor({50, 20, 0.8}, view::stageOf(view::Box{}));
  const Vec3 p{0.2, -0.3, 0.1};
  const Vec3 eye = view::worldToEye(rig, p);
  const view::Ray ray = view::rayThrough(rig, view::eyeToWindow(eye, 640, 480), 640, 480);
  const Vec3 at = ray.origin + (-eye.z) * ray.direction;
  EXPECT_NEAR(view::length(at - p), 0.0, 1e-12);
  const view::Triangle around{p + Vec3{-0.1, -0.1, 0}, p + Vec3{0.1, -0.1, 0}, p + Vec3{0, 0.1, 0}};
  const auto depth = view::crossing(ray, around);
  ASSERT_TRUE(depth.has_value());
  EXPECT_NEAR(*depth, -eye.z, 1e-12);
}

TEST(Picking, ATriangleIsCrossedFromEitherSideButNotBesideOrWithoutArea) {
  const view::Ray ray{{0, 0, 3}, {0, 0, -1}};
  const view::Triangle front{{-1, -1, 0}, {1, -1, 0}, {0, 1, 0}};
  const view::Triangle back{{-1, -1, 0}, {0, 1, 0}, {1, -1, 0}};
  EXPECT_EQ(view::crossing(ray, front), 3.0);
  EXPECT_EQ(view::crossing(ray, back), 3.0);
  EXPECT_FALSE(view::crossing(ray, {{2, -1, 0}, {4, -1, 0}, {3, 1, 0}}).has_value());
  EXPECT_FALSE(view::crossing(ray, {{-1, 0, 0}, {0, 0, 0}, {1, 0, 0}}).has_value());
  EXPECT_FALSE(view::isDrawnDepth(-1.0));   // behind the eye
  EXPECT_FALSE(view::isDrawnDepth(0.05));   // nearer than the near plane
  EXPECT_FALSE(view::isDrawnDepth(300.0));  // beyond the far plane
  EXPECT_TRUE(view::isDrawnDepth(3.0));
}

// ---- Clicks on the model ------------------------------------------------------

// A box in front of the start eye, its pixels at the start view.
struct Scenery {
  MeshState meshes = boxInTheWorld({-0.2, -0.5, -0.1}, {0.2, 0.1, 0.1});
  view::Stage stage = stageOf(meshes);
};

bool shows(const Scenery& s, const view::Orbit& o, view::Pixel p, int w = 800, int h = 600) {
  return showsModel(s.meshes, view::rigFor(o, s.stage), static_cast<int>(p.x),
                    static_cast<int>(p.y), w, h);
}

TEST(Picking, AfterATurnTheBoxsSideIsHitAndWhereItsFrontWasIsNot) {
  const Scenery s;
  const view::Orbit turn{90, 0, 1};
  const view::Rig rig = view::rigFor(turn, s.stage);
  // The box is 0.4 wide and 0.2 deep: after a quarter turn a pixel 0.15 off
  // its middle across is beside it, and the middle of its side is on it.
  const view::Pixel middle = view::eyeToWindow(view::worldToEye(rig, {0.2, -0.2, 0}));
  const view::Pixel offSide = view::eyeToWindow(view::worldToEye(rig, {0.2, -0.2, -0.17}));
  EXPECT_TRUE(shows(s, turn, middle));
  EXPECT_FALSE(shows(s, turn, offSide));
  EXPECT_TRUE(shows(s, {}, view::worldToWindow({0.15, -0.2, 0.1})));  // at the start view
  // In a window of another size, through the same camera.
  EXPECT_TRUE(shows(s, turn, view::eyeToWindow(view::worldToEye(rig, {0.2, -0.2, 0}), 1200, 500),
                    1200, 500));
}

TEST(Picking, AfterAZoomPixelsBeyondTheStartPictureAreOnTheBox) {
  const Scenery s;
  const view::Pixel below = view::worldToWindow({0.0, -0.6, 0.1});  // under the box at the start
  EXPECT_FALSE(shows(s, {}, below));
  view::Orbit nearer;
  for (int i = 0; i < 4; ++i) nearer = view::zoomed(nearer, view::kZoomStep, s.stage);
  EXPECT_TRUE(shows(s, nearer, below));
  view::Orbit farther;
  for (int i = 0; i < 4; ++i) farther = view::zoomed(farther, 1 / view::kZoomStep, s.stage);
  EXPECT_FALSE(shows(s, farther, view::worldToWindow({0.19, 0.09, 0.1})));  // a corner, shrunk away
}

TEST(Picking, TheLidCountsAndFacesWithoutVerticesAreSkipped) {
  Scenery s;
  s.meshes.lighterBaseTriangles.push_back({1, 2, 99, {}});  // never drawn, never met
  const view::Orbit turn{30, 10, 1};
  EXPECT_TRUE(shows(
      s, turn, view::eyeToWindow(view::worldToEye(view::rigFor(turn, s.stage), {0.0, -0.2, 0.0}))));
  // The same box as a lid alone: its middle, placed by the lid's chain.
  MeshState lidOnly;
  lidOnly.max_extent = 1.0f;
  lidOnly.lighterTopVertices = s.meshes.lighterBaseVertices;
  lidOnly.lighterTopTriangles = s.meshes.lighterBaseTriangles;
  Vec3 middle;
  for (const Vector3& v : lidOnly.lighterTopVertices)
    middle = middle + (1.0 / 8) * Vec3{v.x, v.y, v.z};
  const Vec3 world = view::apply(view::lidPlacement(meshFrameOf(lidOnly)), middle);
  const view::Rig rig = view::rigFor(turn, stageOf(lidOnly));
  const view::Pixel p = view::eyeToWindow(view::worldToEye(rig, world));
  EXPECT_TRUE(showsModel(lidOnly, rig, static_cast<int>(p.x), static_cast<int>(p.y), 800, 600));
  EXPECT_FALSE(
      showsModel(lidOnly, rig, static_cast<int>(p.x) + 300, static_cast<int>(p.y), 800, 600));
}

// ---- The flame's depth --------------------------------------------------------

TEST(FlameDepth, ABodyWhoseTopIsUnderTheFlameHasItInTheMiddleOfItsDepth) {
  // Its top on the line of sight, as the framing puts a chimney.
  const MeshState chimney = boxInTheWorld({-0.1, -0.6, -0.3}, {0.1, 0.0, 0.1});
  EXPECT_NEAR(flameDepthOf(chimney), depthOf(-0.1), 1e-6);
  const view::Stage stage = stageOf(chimney);
  EXPECT_NEAR(stage.pivot.z, -0.1, 1e-6);
}

TEST(FlameDepth, AFrontThatCoversOnlySomeOfTheProbesStillGivesTheMiddle) {
  // A chimney's front with a window just under its top: the front wall
  // stands only over the upper probe rows, the back wall over all.
  const double top = 0.0, low = -0.005;
  const std::vector<Vec3> world = {{-0.1, low, 0.1}, {0.1, low, 0.1},    {0.1, top, 0.1},
                                   {-0.1, top, 0.1}, {-0.1, -0.6, -0.3}, {0.1, -0.6, -0.3},
                                   {0.1, top, -0.3}, {-0.1, top, -0.3}};
  const MeshState m = bodyInTheWorld(world, {{1, 2, 3}, {1, 3, 4}, {5, 6, 7}, {5, 7, 8}});
  EXPECT_NEAR(flameDepthOf(m), depthOf(-0.1), 1e-6);
}

TEST(FlameDepth, WithNothingUnderTheFlameTheNearestVertexOnScreenDecides) {
  // A box down and to the left: its corner nearest the flame's origin on
  // screen is its upper right back one (the farther, the nearer the middle).
  const MeshState aside = boxInTheWorld({-0.8, -0.6, -0.5}, {-0.5, -0.2, 0.2});
  EXPECT_NEAR(flameDepthOf(aside), depthOf(-0.5), 1e-6);
  EXPECT_EQ(flameDepthOf(MeshState{}), view::length(view::kEye - view::kLookAt));
}

// ---- The flame placed on the lighter -----------------------------------------

int scripted() {
  static unsigned n = 12345;
  n = n * 1103515245u + 12345u;
  return static_cast<int>((n >> 1) & 0x3fffffff);
}

// Every particle's square at the start view, placed in the world, lands on
// the pixels of the eye-space square it has always been drawn as.
TEST(FlamePlacement, AtTheStartViewTheWorldSquaresCoverTodaysPixels) {
  FlameState flame;
  initParticles(flame, scripted);
  flame.yspeed = 80.0f;
  const view::FlamePlacement placed = view::flamePlacement(view::kStartRig, 2.81);
  for (float zoom : {-40.0f, -10.0f}) {
    for (int pass = 0; pass < 60; ++pass) {
      flame.playSpark = pass < 2 ? 1 : 0;
      particlePass(flame, scripted, nullptr);
      for (const Particle& p : flame.particle) {
        const Vec3 position{p.position[0], p.position[1], p.position[2]};
        const auto square = view::placedSquare(placed, position, zoom);
        ASSERT_TRUE(square.has_value());
        const view::ParticleSquare today = view::startSquare(position, zoom);
        for (const auto& [sx, sy] : {std::pair{1, 1}, {-1, 1}, {1, -1}, {-1, -1}}) {
          const Vec3 a = square->centre + Vec3{sx * square->half, sy * square->half, 0};
          const Vec3 b = today.centre + Vec3{sx * today.half, sy * today.half, 0};
          if (b.z >= -view::kNearPlane) continue;  // behind the near plane either way
          const view::Pixel pa = view::eyeToWindow(a), pb = view::eyeToWindow(b);
          ASSERT_LT(std::abs(pa.x - pb.x), 1.0) << zoom << " " << pass;
          ASSERT_LT(std::abs(pa.y - pb.y), 1.0) << zoom << " " << pass;
        }
      }
    }
  }
}

TEST(FlamePlacement, AMovedCameraSeesTheFlameStandOnItsAnchorAndRiseAlongTheWorldsUp) {
  const view::Rig rig = view::rigFor({120, 35, 0.8}, view::stageOf(view::Box{}));
  const double depth = 2.8;
  const view::FlamePlacement placed = view::flamePlacement(rig, depth);
  const auto born = view::placedSquare(placed, {0, 0, 0}, -10.0);
  ASSERT_TRUE(born.has_value());
  EXPECT_NEAR(view::length(view::eyeToWorld(rig, born->centre) - Vec3{0, 0, 3 - depth}), 0, 1e-12);
  EXPECT_NEAR(born->half, 0.5 * depth / 10.0, 1e-15);
  const auto risen = view::placedSquare(placed, {0, 2, 0}, -10.0);
  const Vec3 rise = view::eyeToWorld(rig, risen->centre) - view::eyeToWorld(rig, born->centre);
  EXPECT_NEAR(view::length(rise - Vec3{0, 2 * depth / 10.0, 0}), 0, 1e-12);
  // A spark is drawn four times farther at the start view: its squares
  // are a quarter the size on the lighter.
  EXPECT_NEAR(view::placedSquare(placed, {0, 0, 0}, -40.0)->half, 0.5 * depth / 40.0, 1e-15);
  EXPECT_FALSE(view::placedSquare(placed, {0, 0, 0}, 0.0).has_value());
  EXPECT_FALSE(view::placedSquare(placed, {0, 0, 0}, 20.0).has_value());
  // The flame's light, given in the start eye's coordinates, stays by the flame.
  const Vec3 light{0.0, 0.1, -2.6};
  const Vec3 moved = view::startEyeToMovedEye(placed, light);
  EXPECT_NEAR(view::length(view::eyeToWorld(rig, moved) - Vec3{0, 0.1, 0.4}), 0, 1e-12);
  expectNear(view::startEyeToMovedEye(view::flamePlacement(view::kStartRig, depth), light), light);
}

}  // namespace
