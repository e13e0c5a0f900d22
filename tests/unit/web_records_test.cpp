// The web adapter's plain records: the camera matrix that stands in for GLU's,
// immediate mode collected as arrays, and GLUT's menus kept for the page.
#include <gtest/gtest.h>

#include <vector>

#include "view/view_model.h"
#include "web/look_at.h"
#include "web/menus.h"
#include "web/vertex_batch.h"

namespace {

void expectNear(view::Vec3 got, view::Vec3 want) {
  EXPECT_NEAR(got.x, want.x, 1e-12);
  EXPECT_NEAR(got.y, want.y, 1e-12);
  EXPECT_NEAR(got.z, want.z, 1e-12);
}

TEST(WebLookAt, MakesTheProgramsCameraAsTheViewModuleDoes) {
  const web::Matrix4 m = web::lookAtMatrix(view::kEye, view::kLookAt, view::kUp);
  for (const view::Vec3 p :
       {view::Vec3{0, 0, 0}, view::Vec3{1.5, -2, 0.25}, view::Vec3{-3, 4, 9}}) {
    expectNear(web::transformPoint(m, p), view::worldToEye(p));
  }
}

TEST(WebLookAt, PutsAnyEyeAtTheOriginLookingDownMinusZWithUpAlongY) {
  const view::Vec3 eye{2, 3, -1}, centre{-1, 0, 5}, up{0.3, 1, 0.2};  // up not perpendicular
  const web::Matrix4 m = web::lookAtMatrix(eye, centre, up);
  expectNear(web::transformPoint(m, eye), {0, 0, 0});
  const double distance = view::length(centre - eye);
  expectNear(web::transformPoint(m, centre), {0, 0, -distance});
  const view::Vec3 above = web::transformPoint(m, eye + up);
  EXPECT_NEAR(above.x, 0.0, 1e-12);
  EXPECT_GT(above.y, 0.0);
  EXPECT_DOUBLE_EQ(m[3] + m[7] + m[11], 0.0);  // no projective part
  EXPECT_DOUBLE_EQ(m[15], 1.0);
}

// Vertices as the batch stores them: position, colour, normal, texture point.
std::vector<float> vertex(std::vector<float> position, std::vector<float> color,
                          std::vector<float> normal, std::vector<float> texCoord) {
  std::vector<float> v = position;
  for (const auto* part : {&color, &normal, &texCoord})
    v.insert(v.end(), part->begin(), part->end());
  return v;
}

std::vector<float> joined(std::initializer_list<std::vector<float>> vertices) {
  std::vector<float> all;
  for (const auto& v : vertices) all.insert(all.end(), v.begin(), v.end());
  return all;
}

TEST(WebImmediateMode, EveryVertexTakesTheAttributesCurrentWhenItIsGiven) {
  web::ImmediateMode im;
  im.color(0.5f, 0.25f, 0.0f, 0.75f);  // before glBegin, as the flame sets it
  im.begin(web::kTriangles);
  im.normal(0, 1, 0);
  im.texCoord(1, 1);
  im.vertex(1, 2, 3);
  im.vertex(4, 5, 6);  // nothing new: the same colour, normal and texture point
  im.color(1, 1, 1, 1);
  im.texCoord(0, 1);
  im.vertex(7, 8, 9);
  const web::VertexBatch& b = im.end();
  EXPECT_EQ(b.mode, web::kTriangles);
  ASSERT_EQ(b.vertexCount(), 3u);
  EXPECT_EQ(b.data, joined({vertex({1, 2, 3}, {0.5f, 0.25f, 0, 0.75f}, {0, 1, 0}, {1, 1}),
                            vertex({4, 5, 6}, {0.5f, 0.25f, 0, 0.75f}, {0, 1, 0}, {1, 1}),
                            vertex({7, 8, 9}, {1, 1, 1, 1}, {0, 1, 0}, {0, 1})}));
}

TEST(WebImmediateMode, StartsFromGLsValuesAndKeepsThemAcrossBatches) {
  web::ImmediateMode im;
  im.begin(web::kLines);
  im.vertex(0, 0, 0);
  EXPECT_EQ(im.end().data, vertex({0, 0, 0}, {1, 1, 1, 1}, {0, 0, 1}, {0, 0}));
  im.begin(web::kLines);
  im.normal(1, 0, 0);
  im.end();
  im.begin(web::kLines);
  im.vertex(1, 1, 1);
  EXPECT_EQ(im.end().data, vertex({1, 1, 1}, {1, 1, 1, 1}, {1, 0, 0}, {0, 0}));
}

TEST(WebImmediateMode, VerticesOutsideABatchAreIgnoredAndABatchStartsEmpty) {
  web::ImmediateMode im;
  im.vertex(1, 1, 1);
  EXPECT_FALSE(im.inside());
  EXPECT_EQ(im.end().vertexCount(), 0u);
  im.begin(web::kTriangles);
  EXPECT_TRUE(im.inside());
  im.vertex(1, 1, 1);
  im.end();
  im.begin(web::kTriangles);
  EXPECT_EQ(im.end().vertexCount(), 0u);
}

// A batch of `mode` whose vertices are told apart by their x: 0, 1, 2, ...
web::VertexBatch numbered(unsigned mode, int count) {
  web::ImmediateMode im;
  im.begin(mode);
  for (int i = 0; i < count; ++i) im.vertex(static_cast<float>(i), 0, 0);
  return im.end();
}

std::vector<float> xs(const web::VertexBatch& b) {
  std::vector<float> x;
  for (std::size_t i = 0; i < b.vertexCount(); ++i)
    x.push_back(b.data[i * web::VertexBatch::kFloats]);
  return x;
}

TEST(WebMergedBatches, StripsBecomeTrianglesWithTheirWindingAndLoopsLines) {
  web::VertexBatch pending;
  ASSERT_TRUE(web::appendIndependent(numbered(web::kTriangles, 4), pending));  // the 4th is dropped
  ASSERT_TRUE(web::appendIndependent(numbered(web::kTriangleStrip, 4), pending));
  EXPECT_EQ(pending.mode, web::kTriangles);
  EXPECT_EQ(xs(pending), (std::vector<float>{0, 1, 2, 0, 1, 2, 2, 1, 3}));
  web::VertexBatch lines;
  ASSERT_TRUE(web::appendIndependent(numbered(web::kLineLoop, 3), lines));
  ASSERT_TRUE(web::appendIndependent(numbered(web::kLines, 2), lines));
  EXPECT_EQ(lines.mode, web::kLines);
  EXPECT_EQ(xs(lines), (std::vector<float>{0, 1, 1, 2, 2, 0, 0, 1}));
}

TEST(WebMergedBatches, RefusesOtherKindsAndOtherPrimitivesUnchanged) {
  web::VertexBatch pending;
  ASSERT_TRUE(web::appendIndependent(numbered(web::kTriangles, 3), pending));
  const std::vector<float> before = pending.data;
  EXPECT_FALSE(web::appendIndependent(numbered(web::kLineLoop, 3), pending));
  EXPECT_FALSE(web::appendIndependent(numbered(0x0007 /* GL_QUADS */, 4), pending));
  EXPECT_EQ(pending.data, before);
  web::VertexBatch empty;
  EXPECT_FALSE(web::appendIndependent(numbered(0x0000 /* GL_POINTS */, 2), empty));
  EXPECT_EQ(empty.vertexCount(), 0u);
}

// A callback that records its calls, as the program's menu handlers would act.
std::vector<int> gChosen;
void recordFlame(int value) { gChosen.push_back(100 + value); }
void recordMode(int value) { gChosen.push_back(200 + value); }
void recordMain(int value) { gChosen.push_back(300 + value); }

// The program's order: both submenus, then the main menu, attached last.
web::MenuRegistry programMenus() {
  web::MenuRegistry menus;
  const int flame = menus.create(recordFlame);
  menus.addEntry("Yellow", 1);
  menus.addEntry("Rotate", 5);
  const int mode = menus.create(recordMode);
  menus.addEntry("Wireframe", 1);
  menus.create(recordMain);
  menus.addSubMenu("Flame Colors", flame);
  menus.addSubMenu("Mesh Modes", mode);
  menus.attachCurrent();
  return menus;
}

TEST(WebMenus, DescribesTheAttachedMenuWithItsSubmenusForThePage) {
  EXPECT_EQ(
      programMenus().describeAttached(),
      "[{\"label\":\"Flame Colors\",\"items\":["
      "{\"label\":\"Yellow\",\"menu\":1,\"value\":1},"
      "{\"label\":\"Rotate\",\"menu\":1,\"value\":5}]},"
      "{\"label\":\"Mesh Modes\",\"items\":[{\"label\":\"Wireframe\",\"menu\":2,\"value\":1}]}]");
  EXPECT_EQ(web::MenuRegistry{}.describeAttached(), "[]");
}

TEST(WebMenus, AChoiceCallsItsMenusCallbackOnlyForAnEntryThatMenuHas) {
  const web::MenuRegistry menus = programMenus();
  gChosen.clear();
  EXPECT_TRUE(menus.choose(1, 5));
  EXPECT_TRUE(menus.choose(2, 1));
  EXPECT_FALSE(menus.choose(1, 2));  // not an entry of the flame menu
  EXPECT_FALSE(menus.choose(2, 5));
  EXPECT_FALSE(menus.choose(3, 0));  // the main menu's submenu items call nothing
  EXPECT_FALSE(menus.choose(0, 1));
  EXPECT_FALSE(menus.choose(9, 1));
  EXPECT_EQ(gChosen, (std::vector<int>{105, 201}));
}

TEST(WebMenus, IgnoresWhatGlutWouldAndEscapesLabels) {
  web::MenuRegistry menus;
  menus.addEntry("before any menu", 1);  // no current menu
  const int self = menus.create(recordMain);
  menus.addSubMenu("nowhere", 7);  // no such menu
  menus.addEntry("say \"hi\"\\\n", 2);
  menus.addSubMenu("again", self);  // a menu inside itself ends somewhere
  menus.attachCurrent();
  const std::string json = menus.describeAttached();
  EXPECT_EQ(json.rfind("[{\"label\":\"say \\\"hi\\\"\\\\ \",\"menu\":1,\"value\":2}", 0), 0u)
      << json;
  EXPECT_EQ(json.find("nowhere"), std::string::npos);
  EXPECT_EQ(json.find("before"), std::string::npos);
}

}  // namespace
