// The web adapter's plain records: the camera matrix that stands in for GLU's,
// immediate mode collected as arrays, and GLUT's menus kept for the page.
#include <gtest/gtest.h>

#include <vector>

#include "render/view_model.h"
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
  for (const view::Vec3 p : {view::Vec3{0, 0, 0}, view::Vec3{1.5, -2, 0.25}, view::Vec3{-3, 4, 9}}) {
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

TEST(WebImmediateMode, EveryVertexTakesTheAttributesCurrentWhenItIsGiven) {
  web::ImmediateMode im;
  im.color(0.5f, 0.25f, 0.0f, 0.75f);  // before glBegin, as the flame sets it
  im.begin(4);
  im.normal(0, 1, 0);
  im.texCoord(1, 1);
  im.vertex(1, 2, 3);
  im.vertex(4, 5, 6);  // nothing new: the same colour, normal and texture point
  im.color(1, 1, 1, 1);
  im.texCoord(0, 1);
  im.vertex(7, 8, 9);
  const web::VertexBatch& b = im.end();
  EXPECT_EQ(b.mode, 4u);
  ASSERT_EQ(b.vertexCount(), 3u);
  EXPECT_EQ(b.positions, (std::vector<float>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(b.colors,
            (std::vector<float>{0.5f, 0.25f, 0, 0.75f, 0.5f, 0.25f, 0, 0.75f, 1, 1, 1, 1}));
  EXPECT_EQ(b.normals, (std::vector<float>{0, 1, 0, 0, 1, 0, 0, 1, 0}));
  EXPECT_EQ(b.texCoords, (std::vector<float>{1, 1, 1, 1, 0, 1}));
}

TEST(WebImmediateMode, StartsFromGLsValuesAndKeepsThemAcrossBatches) {
  web::ImmediateMode im;
  im.begin(2);
  im.vertex(0, 0, 0);
  web::VertexBatch first = im.end();
  EXPECT_EQ(first.colors, (std::vector<float>{1, 1, 1, 1}));
  EXPECT_EQ(first.normals, (std::vector<float>{0, 0, 1}));
  EXPECT_EQ(first.texCoords, (std::vector<float>{0, 0}));
  im.begin(2);
  im.normal(1, 0, 0);
  im.end();
  im.begin(2);
  im.vertex(1, 1, 1);
  EXPECT_EQ(im.end().normals, (std::vector<float>{1, 0, 0}));
}

TEST(WebImmediateMode, VerticesOutsideABatchAreIgnoredAndABatchStartsEmpty) {
  web::ImmediateMode im;
  im.vertex(1, 1, 1);
  EXPECT_FALSE(im.inside());
  EXPECT_EQ(im.end().vertexCount(), 0u);
  im.begin(4);
  EXPECT_TRUE(im.inside());
  im.vertex(1, 1, 1);
  im.end();
  im.begin(4);
  EXPECT_EQ(im.end().vertexCount(), 0u);
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
  EXPECT_EQ(programMenus().describeAttached(),
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
  EXPECT_EQ(json.rfind("[{\"label\":\"say \\\"hi\\\"\\\\ \",\"menu\":1,\"value\":2}", 0), 0u) << json;
  EXPECT_EQ(json.find("nowhere"), std::string::npos);
  EXPECT_EQ(json.find("before"), std::string::npos);
}

}  // namespace
