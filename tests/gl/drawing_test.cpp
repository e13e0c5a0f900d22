// The lighter drawing on a real GL context: what reaches GL for small known
// meshes, recorded in feedback mode after the program's own projection.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "render/render.h"
#include "tests/gl/gl_fixture.h"
#include "view/view_model.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// The small lighter below is scaled by its max_extent of 4 and the view's
// scale size; the lid's tilt, in radians.
const double kSize = view::kScaleSize / 4.0;
const double kTilt = view::kLidTilt.degrees * kPi / 180.0;

// One primitive as feedback reports it: its vertices in window coordinates
// with their colour and texture coordinates.
struct FedVertex {
  float x, y, z;
  std::array<float, 4> rgba;
  std::array<float, 2> st;
};
struct Primitive {
  bool polygon = false;  // a filled polygon, else a line segment
  std::vector<FedVertex> vertices;
};

constexpr int kVertexFloats = 3 + 4 + 4;  // GL_3D_COLOR_TEXTURE in RGBA mode

std::vector<Primitive> parse(const std::vector<GLfloat>& buffer, int count) {
  std::vector<Primitive> out;
  auto vertexAt = [&](int i) {
    const GLfloat* v = &buffer[static_cast<size_t>(i)];
    return FedVertex{v[0], v[1], v[2], {v[3], v[4], v[5], v[6]}, {v[7], v[8]}};
  };
  for (int i = 0; i < count;) {
    const auto token = static_cast<GLenum>(buffer[static_cast<size_t>(i++)]);
    Primitive p;
    int n = 0;
    if (token == GL_POLYGON_TOKEN) {
      p.polygon = true;
      n = static_cast<int>(buffer[static_cast<size_t>(i++)]);
    } else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
      n = 2;
    } else if (token == GL_PASS_THROUGH_TOKEN) {
      ++i;
      continue;
    } else {
      ADD_FAILURE() << "unexpected feedback token " << token;
      break;
    }
    for (int k = 0; k < n; ++k, i += kVertexFloats) p.vertices.push_back(vertexAt(i));
    out.push_back(p);
  }
  return out;
}

// Sets up the frame's projection and camera with the display routine's own
// applyView, draws the lighter in feedback mode and returns what GL made of it.
std::vector<Primitive> feedback(const ViewState& state, const MeshState& meshes) {
  gltest::startLighter();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  applyView(state);
  std::vector<GLfloat> buffer(1 << 16);
  glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
  glRenderMode(GL_FEEDBACK);
  drawObjects(state, meshes);
  const int count = glRenderMode(GL_RENDER);
  glPopMatrix();
  EXPECT_GE(count, 0) << "feedback buffer too small";
  return parse(buffer, count);
}

// Window position of a point in front of the camera, through the view
// module's camera and projection.
std::array<double, 2> window(double x, double y, double z) {
  const view::Pixel p = view::worldToWindow({x, y, z});
  return {p.x, p.y};
}

// A body of one face and a lid of one face, placed so that the body's own
// origin lands on the origin in front of the camera: max_extent 4 scales by
// a quarter, the centre cancels the placement's shift, and the lid's centre
// cancels its two offsets.
MeshState smallLighter() {
  MeshState m;
  m.max_extent = 4.0f;
  m.centerBase = {static_cast<float>(view::kPositionX), static_cast<float>(view::kPositionY), 0.0f};
  const view::Vec3 lidShift = view::kLidDrop + view::kLidLift;
  m.centerTop = {static_cast<float>(lidShift.x), static_cast<float>(lidShift.y),
                 static_cast<float>(lidShift.z)};
  m.lighterBaseVertices = {{0, 0, 0}, {0, 0, -1}, {0, 1, 0}};
  m.lighterBaseNormals = {{0.2f, 0, 0}, {0, 0.2f, 0}, {0, 0, 0.2f}};
  m.lighterBaseTriangles = {Tri{1, 2, 3, {}}};
  m.lighterTopVertices = {{0, 1, 0}, {0, 0, 0}, {0, 0, -1}};
  m.lighterTopNormals = {{0, 0, 0.2f}, {0.2f, 0, 0}, {0, 0.2f, 0}};
  m.lighterTopTriangles = {Tri{1, 2, 3, {}}};
  return m;
}

ViewState mode(int display_mode) {
  ViewState v;
  v.display_mode = display_mode;
  return v;
}

void expectAt(const FedVertex& v, std::array<double, 2> want, const char* what) {
  EXPECT_NEAR(v.x, want[0], 0.05) << what;
  EXPECT_NEAR(v.y, want[1], 0.05) << what;
}

TEST(LighterDrawing, PlacesBodyAndTiltedLidThroughTheFixedChain) {
  const auto prims = feedback(mode(kSmooth), smallLighter());
  ASSERT_EQ(prims.size(), 2u);
  // The lid comes first. Its vertex (0, 1, 0) is tilted about -x to
  // (0, cos t, -sin t), then turned a quarter about -y to (sin t, cos t, 0)
  // and scaled.
  const double c = std::cos(kTilt), s = std::sin(kTilt);
  expectAt(prims[0].vertices[0], window(kSize * s, kSize * c, 0), "lid corner 1");
  expectAt(prims[0].vertices[1], window(0, 0, 0), "lid corner 2");
  // (0, 0, -1) is tilted to (0, -sin t, -cos t) and turned to
  // (cos t, -sin t, 0).
  expectAt(prims[0].vertices[2], window(kSize * c, -kSize * s, 0), "lid corner 3");
  // The body has no tilt: (0, 0, -1) turns to (1, 0, 0).
  expectAt(prims[1].vertices[0], window(0, 0, 0), "body corner 1");
  expectAt(prims[1].vertices[1], window(kSize, 0, 0), "body corner 2");
  expectAt(prims[1].vertices[2], window(0, kSize, 0), "body corner 3");
}

TEST(LighterDrawing, SmoothModeDrawsWhiteTrianglesWithTheFixedTextureCorners) {
  MeshState m = smallLighter();
  m.lighterBaseVertices.push_back({0, -1, 0});
  m.lighterBaseNormals.push_back({});
  m.lighterBaseTriangles.push_back(Tri{4, 2, 1, {}});  // a different winding
  gltest::startLighter();
  glBindTexture(GL_TEXTURE_2D, 0);
  const auto prims = feedback(mode(kSmooth), m);
  ASSERT_EQ(prims.size(), 3u);
  const std::array<float, 2> corners[3] = {{0, 0}, {0, 1}, {1, 1}};
  for (const auto& p : prims) {
    ASSERT_TRUE(p.polygon);
    ASSERT_EQ(p.vertices.size(), 3u);
    for (int k = 0; k < 3; ++k) {
      EXPECT_EQ(p.vertices[k].rgba, (std::array<float, 4>{1, 1, 1, 1}));
      EXPECT_EQ(p.vertices[k].st, corners[k]) << "corner " << k + 1;
    }
  }
  GLint bound = -1;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(bound, 3);
}

TEST(LighterDrawing, WireframeModeDrawsBlueOutlinesAndBindsNothing) {
  gltest::startLighter();
  glBindTexture(GL_TEXTURE_2D, 0);
  const auto prims = feedback(mode(kWireframe), smallLighter());
  // Each face is a closed loop: three segments, lid first.
  ASSERT_EQ(prims.size(), 6u);
  for (const auto& p : prims) {
    EXPECT_FALSE(p.polygon);
    for (const auto& v : p.vertices) EXPECT_EQ(v.rgba, (std::array<float, 4>{0, 0, 0.5f, 1}));
  }
  expectAt(prims[0].vertices[0], window(kSize * std::sin(kTilt), kSize * std::cos(kTilt), 0),
           "loop starts at the lid's first corner");
  const FedVertex& start = prims[0].vertices[0];
  expectAt(prims[2].vertices[1], {start.x, start.y}, "and closes there");
  GLint bound = -1;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(bound, 0);
}

TEST(LighterDrawing, SkipsFacesWhoseCornersFallOutsideTheirMesh) {
  MeshState m = smallLighter();
  m.lighterBaseTriangles = {Tri{0, 1, 2, {}}, Tri{1, 2, 4, {}}, Tri{-1, 2, 3, {}},
                            Tri{3, 2, 1, {}}};
  m.lighterTopNormals.pop_back();  // normals short of the lid's third vertex
  const auto smooth = feedback(mode(kSmooth), m);
  ASSERT_EQ(smooth.size(), 1u);  // only the body's last face
  expectAt(smooth[0].vertices[0], window(0, kSize, 0), "the face that fits");
  // Outlines need no normals: the lid's face is drawn.
  EXPECT_EQ(feedback(mode(kWireframe), m).size(), 6u);
}

TEST(LighterDrawing, LeavesTheMatrixStackAsItFoundItWhateverTheMeshesHold) {
  gltest::startLighter();
  MeshState noLid = smallLighter();
  noLid.lighterTopVertices.clear();
  noLid.lighterTopNormals.clear();
  noLid.lighterTopTriangles.clear();
  for (const MeshState& m : {noLid, MeshState{}, smallLighter()}) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    applyView(ViewState{});
    std::array<double, 16> before{}, after{};
    glGetDoublev(GL_MODELVIEW_MATRIX, before.data());
    GLint depthBefore = 0, depthAfter = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);
    drawObjects(mode(kSmooth), m);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
    glGetDoublev(GL_MODELVIEW_MATRIX, after.data());
    EXPECT_EQ(depthAfter, depthBefore);
    EXPECT_EQ(after, before);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  }
  glLoadIdentity();
}

TEST(LighterDrawing, DrawsOnlyTheBodyWhenTheLidIsEmpty) {
  MeshState m = smallLighter();
  m.lighterTopVertices.clear();
  m.lighterTopNormals.clear();
  m.lighterTopTriangles.clear();
  const auto prims = feedback(mode(kSmooth), m);
  ASSERT_EQ(prims.size(), 1u);
  expectAt(prims[0].vertices[2], window(0, kSize, 0), "the body's face, unchanged");
}

}  // namespace
