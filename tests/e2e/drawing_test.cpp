// The lighter as the real program draws it from the shipped data set: the
// GL calls of its drawing and what the window shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "mesh/mesh.h"
#include "tests/e2e/harness.h"
#include "view/view_model.h"

namespace {

using e2e::GlCall;
using e2e::isLighterFrame;
using e2e::Lighter;
using e2e::Screenshot;

// ---- The shipped meshes, read the way the program reads them ---------------

struct Mesh {
  std::vector<std::array<float, 3>> vertices;
  std::vector<std::array<int, 3>> faces;
  std::array<float, 3> centre() const {
    std::array<float, 3> sum{};
    for (const auto& v : vertices) {
      for (int i = 0; i < 3; ++i) sum[i] += v[i];
    }
    for (float& s : sum) s /= static_cast<float>(vertices.size());
    return sum;
  }
};

Mesh readMesh(const std::string& name) {
  Mesh m;
  std::ifstream in(e2e::dataDir() + "/" + name);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("v ", 0) == 0) {
      std::array<float, 3> v{};
      std::sscanf(line.c_str(), "v %g %g %g", &v[0], &v[1], &v[2]);
      m.vertices.push_back(v);
    } else if (line.rfind("f ", 0) == 0) {
      std::array<int, 3> f{};
      std::sscanf(line.c_str(), "f %d %d %d", &f[0], &f[1], &f[2]);
      m.faces.push_back(f);
    }
  }
  return m;
}

// The base mesh's larger x or y extent, the box's maxima starting at a tiny
// positive value and its minima at a huge one.
float maxExtent(const Mesh& base) {
  float maxX = kBoxMaxStart, maxY = kBoxMaxStart, minX = kBoxMinStart, minY = kBoxMinStart;
  for (const auto& v : base.vertices) {
    maxX = std::max(maxX, v[0]);
    minX = std::min(minX, v[0]);
    maxY = std::max(maxY, v[1]);
    minY = std::min(minY, v[1]);
  }
  return std::max(maxX - minX, maxY - minY);
}

// ---- GL calls ---------------------------------------------------------------

// The numbers of a call's arguments, in order ("x = 2.25, y = -4.5" gives
// 2.25, -4.5); symbolic arguments are left out.
std::vector<double> numbers(const GlCall& c) {
  static const std::regex value(R"(= (-?[0-9.]+(e[-+]?[0-9]+)?))");
  std::vector<double> out;
  for (std::sregex_iterator it(c.args.begin(), c.args.end(), value), end; it != end; ++it) {
    out.push_back(std::strtod((*it)[1].str().c_str(), nullptr));
  }
  return out;
}

bool isMatrixCall(const GlCall& c) {
  return c.name == "glPushMatrix" || c.name == "glPopMatrix" || c.name == "glScalef" ||
         c.name == "glTranslatef" || c.name == "glRotatef";
}

void expectNumbers(const GlCall& c, const std::vector<double>& want) {
  const auto got = numbers(c);
  ASSERT_EQ(got.size(), want.size()) << c.name << "(" << c.args << ")";
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_NEAR(got[i], want[i], 1e-4 * std::max(1.0, std::abs(want[i])))
        << c.name << "(" << c.args << ") argument " << i;
  }
}

// A glTranslatef or a glRotatef of the view module's placement.
void expectOffset(const GlCall& c, const view::Vec3& v) { expectNumbers(c, {v.x, v.y, v.z}); }
void expectTurn(const GlCall& c, const view::Turn& t) {
  expectNumbers(c, {t.degrees, t.axis.x, t.axis.y, t.axis.z});
}

// A traced run that shows a few frames, optionally after switching to
// wireframe, and ends through the menu; returns its last complete frame.
std::vector<GlCall> tracedFrame(bool wireframe) {
  Lighter lighter({"", /*trace=*/true});
  EXPECT_TRUE(lighter.waitForWindow(support::Seconds(60)));
  if (wireframe) {
    lighter.pickMenu({1, 0});  // "Mesh Modes", "Wireframe"
    lighter.click(700, 50);    // a click outside the rectangle, seen after the choice
    EXPECT_TRUE(lighter.waitForOutput("mouse clicked at 700 549", 1, support::Seconds(60)));
  }
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
  const auto frames = e2e::splitFrames(lighter.glCalls());
  const auto last = std::find_if(frames.rbegin(), frames.rend(), isLighterFrame);
  EXPECT_NE(last, frames.rend()) << "no complete frame in the trace";
  return last == frames.rend() ? std::vector<GlCall>{} : *last;
}

// ---- Screenshots --------------------------------------------------------------

// The body's middle, in window pixels from the top (window y 150 up).
constexpr int kBodyX = 390, kBodyY = 449;

bool bodyShows(const Screenshot& s) { return s.at(kBodyX, kBodyY).sum() > 300; }

bool flameShows(const Screenshot& s) {
  // Above the window centre, where nothing of the lighter is.
  return s.countBrighter(350, 60, 450, 290, 300) > 2000;
}

TEST(LighterDrawing, SmoothModeSendsEveryFaceAsABoundTexturedTriangle) {
  const Mesh base = readMesh("lighterBase.m"), lid = readMesh("lighterTop.m");
  const auto frame = tracedFrame(false);
  ASSERT_FALSE(frame.empty());
  // Every face: bind name 3, a triangle, white, then per corner its normal,
  // its fixed texture point and its vertex. Lid faces first, in file order.
  std::vector<std::array<int, 3>> faces = lid.faces;
  faces.insert(faces.end(), base.faces.begin(), base.faces.end());
  auto it = std::find_if(frame.begin(), frame.end(), [](auto& c) { return c.name == "glBegin"; });
  ASSERT_NE(it, frame.begin());
  size_t drawn = 0;
  for (; it != frame.end() && it->name == "glBegin"; ++drawn) {
    ASSERT_LT(drawn, faces.size());
    const auto& mesh = drawn < lid.faces.size() ? lid : base;
    EXPECT_EQ((it - 1)->name, "glBindTexture");
    EXPECT_EQ((it - 1)->args, "target = GL_TEXTURE_2D, texture = 3");
    EXPECT_EQ(it->args, "mode = GL_TRIANGLES");
    ASSERT_GE(frame.end() - it, 12);
    ASSERT_EQ((it + 1)->name, "glColor3f");
    expectNumbers(*(it + 1), {1, 1, 1});
    const double tex[3][2] = {{0, 0}, {0, 1}, {1, 1}};
    for (int k = 0; k < 3; ++k) {
      const auto corner = it + 2 + 3 * k;
      EXPECT_EQ(corner->name, "glNormal3f");
      EXPECT_EQ((corner + 1)->name, "glTexCoord2f");
      expectNumbers(*(corner + 1), {tex[k][0], tex[k][1]});
      ASSERT_EQ((corner + 2)->name, "glVertex3f");
      const auto& v = mesh.vertices[static_cast<size_t>(faces[drawn][k] - 1)];
      expectNumbers(*(corner + 2), {v[0], v[1], v[2]});
    }
    EXPECT_EQ((it + 11)->name, "glEnd");
    it += 12;
    if (it != frame.end() && it->name == "glPopMatrix") ++it;  // between lid and body
    if (it != frame.end() && it->name == "glBindTexture") ++it;
  }
  EXPECT_EQ(drawn, faces.size());
}

TEST(LighterDrawing, PlacesTheMeshesWithTheFixedChainAndValuesFromTheFiles) {
  const Mesh base = readMesh("lighterBase.m"), lid = readMesh("lighterTop.m");
  const auto frame = tracedFrame(false);
  std::vector<GlCall> matrix;
  std::copy_if(frame.begin(), frame.end(), std::back_inserter(matrix), isMatrixCall);
  const std::vector<std::string> want = {
      "glPushMatrix", "glPushMatrix", "glScalef",     "glTranslatef", "glTranslatef",
      "glRotatef",    "glScalef",     "glPushMatrix", "glTranslatef", "glTranslatef",
      "glTranslatef", "glRotatef",    "glPopMatrix",  "glPopMatrix",  "glPopMatrix"};
  std::vector<std::string> names;
  for (const auto& c : matrix) names.push_back(c.name);
  ASSERT_EQ(names, want);
  const float s = 1.0f / maxExtent(base);
  const auto cb = base.centre(), ct = lid.centre();
  expectNumbers(matrix[2], {s, s, s});
  expectNumbers(matrix[3], {-cb[0], -cb[1], -cb[2]});
  expectOffset(matrix[4], {view::kPositionX, view::kPositionY, 0});
  expectTurn(matrix[5], view::kBodyTurn);
  expectOffset(matrix[6], {view::kScaleSize, view::kScaleSize, view::kScaleSize});
  expectNumbers(matrix[8], {-ct[0], -ct[1], -ct[2]});
  expectOffset(matrix[9], view::kLidDrop);
  expectOffset(matrix[10], view::kLidLift);
  expectTurn(matrix[11], view::kLidTilt);
}

TEST(LighterDrawing, WireframeModeSendsEveryFaceAsABlueLoopWithoutBinds) {
  const Mesh base = readMesh("lighterBase.m"), lid = readMesh("lighterTop.m");
  const auto frame = tracedFrame(true);
  size_t loops = 0, vertices = 0, normals = 0, binds = 0, colours = 0;
  for (const auto& c : frame) {
    if (c.name == "glBegin") {
      EXPECT_EQ(c.args, "mode = GL_LINE_LOOP");
      ++loops;
    }
    if (c.name == "glVertex3f") ++vertices;
    if (c.name == "glNormal3f") ++normals;
    if (c.name == "glBindTexture") ++binds;
    if (c.name == "glColor3f") {
      expectNumbers(c, {0, 0, 0.5});
      ++colours;
    }
  }
  EXPECT_EQ(loops, lid.faces.size() + base.faces.size());
  EXPECT_EQ(vertices, 3 * loops);
  EXPECT_EQ(colours, loops);
  EXPECT_EQ(normals, 0u);
  EXPECT_EQ(binds, 0u);
}

TEST(LighterPicture, FillsTheClickRectangleOnABlackBackground) {
  Lighter lighter;
  ASSERT_TRUE(lighter.waitForWindow());
  const auto shot = lighter.waitForScreenshot(bodyShows);
  ASSERT_TRUE(shot.has_value());
  // The case spans the click rectangle from near its bottom (window y
  // counted from below) and the chimney reaches up to the centre row, 300.
  const view::PixelRect& area = view::kClickArea;
  for (int yUp : {15, 100, 180}) {
    EXPECT_GT(shot->atUp(area.left + 10, yUp).sum(), 300) << yUp;
    EXPECT_GT(shot->atUp(area.right - 10, yUp).sum(), 300) << yUp;
  }
  EXPECT_GT(shot->atUp(400, 290).sum(), 300);
  // Beside it, left and right, and above the flame's origin: black.
  EXPECT_EQ(shot->countBrighter(0, 0, area.left - 5, 600, 0), 0);
  EXPECT_EQ(shot->countBrighter(area.right + 5, 450, 800, 600, 0), 0);
  EXPECT_EQ(shot->countBrighter(350, 0, 450, 295, 0), 0);
  // The open lid, right of the flame.
  EXPECT_GT(shot->countBrighter(area.right + 5, 200, 700, 430, 300), 5000);
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
}

TEST(LighterPicture, FlameRisesAboveTheWindowCentreAfterThreeClicks) {
  Lighter lighter;
  ASSERT_TRUE(lighter.waitForWindow());
  ASSERT_TRUE(lighter.waitForScreenshot(bodyShows).has_value());
  // Each click a pixel further right: xdotool's synchronous move waits
  // long for a pointer that is already where it is sent. The timers of each
  // spark fire before the next click, or the last would put the flame out.
  for (int i = 0; i < 3; ++i) {
    lighter.click(kBodyX + i, kBodyY);
    ASSERT_TRUE(lighter.waitForOutput("mouse clicked at " + std::to_string(kBodyX + i) + " 150"));
    if (i < 2) {
      ASSERT_TRUE(lighter.waitForTimers(e2e::kShortFlame));
    }
  }
  EXPECT_TRUE(lighter.waitForScreenshot(flameShows).has_value());
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
}

TEST(LighterPicture, WireframeShowsBlueOutlinesOnly) {
  Lighter lighter;
  ASSERT_TRUE(lighter.waitForWindow());
  ASSERT_TRUE(lighter.waitForScreenshot(bodyShows).has_value());
  lighter.pickMenu({1, 0});  // "Mesh Modes", "Wireframe"
  // Lines take red and green 0 from the colour (0, 0, 0.5): once the
  // body's surface is gone, nothing but blue is left anywhere.
  const auto shot = lighter.waitForScreenshot([](const Screenshot& s) {
    for (size_t i = 0; i < s.rgb.size(); i += 3) {
      if (s.rgb[i] != 0 || s.rgb[i + 1] != 0) return false;
    }
    return true;
  });
  ASSERT_TRUE(shot.has_value());
  EXPECT_GT(shot->countBrighter(view::kClickArea.left, 300, view::kClickArea.right, 595, 0), 1000);
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
}

TEST(LighterPicture, WithoutTheLidFileOnlyTheBodyIsDrawn) {
  const support::TempDir noLid = e2e::copyDataSet({"lighterTop.m"});
  Lighter lighter({noLid.path()});
  ASSERT_TRUE(lighter.waitForWindow());
  const auto shot = lighter.waitForScreenshot(bodyShows);
  ASSERT_TRUE(shot.has_value());
  EXPECT_EQ(shot->countBrighter(view::kClickArea.right + 5, 0, 800, 600, 0), 0);
  EXPECT_GT(shot->atUp(300, 150).sum(), 300);
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
}

}  // namespace
