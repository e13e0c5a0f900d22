// Models imported with lighter-import, shown by the real program: the body
// inside the click rectangle and touching its sides, the flame rising from
// the body's top, the lid open beside it; no face skipped.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/harness.h"
#include "tests/support/command.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_models.h"
#include "view/view_model.h"

namespace {

using e2e::Lighter;
using e2e::Screenshot;

constexpr int kDim = 30;  // r+g+b above this counts as lit
constexpr auto kShortFlame = std::chrono::milliseconds(70);

// A scratch directory holding the model files and the data directory.
class Workspace {
 public:
  std::string path(const std::string& name) const { return dir_.path() + "/" + name; }
  // Runs lighter-import on the model files (written here first) into "data".
  std::string import(const std::vector<std::pair<std::string, std::string>>& files,
                     const std::vector<std::string>& args) {
    for (const auto& [name, content] : files) testmodels::writeFile(path(name), content);
    std::vector<std::string> argv = {LIGHTER_IMPORT_BINARY};
    argv.insert(argv.end(), args.begin(), args.end());
    argv.insert(argv.end(), {"-o", path("data")});
    support::Child child(argv, dir_.path(), {}, path("import.out"), path("import.err"));
    const std::optional<int> status = child.waitForExit(support::Seconds(120));
    EXPECT_EQ(status, 0) << support::readFile(path("import.err"));
    return path("data");
  }

 private:
  support::TempDir dir_{"lighter-import-e2e"};
};

bool lit(const Screenshot& s, int x, int yUp) { return s.atUp(x, yUp).sum() > kDim; }

int litIn(const Screenshot& s, int x0, int x1, int y0Up, int y1Up) {
  int n = 0;
  for (int y = y0Up; y <= y1Up; ++y) {
    for (int x = x0; x <= x1; ++x) n += lit(s, x, y);
  }
  return n;
}

// The picture once the program answers clicks and two screenshots agree.
Screenshot settled(Lighter& lighter) {
  EXPECT_TRUE(lighter.waitForWindow(support::Seconds(60)));
  lighter.click(10, 9);  // outside the lighter: only printed
  EXPECT_TRUE(lighter.waitForOutput("mouse clicked at 10 590\n"));
  std::optional<Screenshot> last, found;
  support::waitUntil(
      [&] {
        Screenshot shot = lighter.screenshot();
        if (last && last->rgb == shot.rgb && litIn(shot, 0, 799, 0, 599) > 0) found = shot;
        last = std::move(shot);
        return found.has_value();
      },
      support::Seconds(30));
  if (!found) ADD_FAILURE() << "the picture never settled";
  return found.value_or(Screenshot{});
}

// The body reaches the click rectangle's left and right columns.
bool touchesBothSides(const Screenshot& s) {
  const view::PixelRect& area = view::kClickArea;
  return litIn(s, area.left, area.left + 1, area.bottom, area.top) > 0 &&
         litIn(s, area.right - 2, area.right - 1, area.bottom, area.top) > 0;
}

// Every lit pixel lies in the click rectangle (or, with a lid, right of the
// flame's column), the body reaches the rectangle's top row, and its bottom
// or both its sides.
void expectBodyFramed(const Screenshot& s, bool withLid) {
  const view::PixelRect& area = view::kClickArea;
  int outside = 0;
  for (int y = 0; y < s.height; ++y) {
    for (int x = 0; x < s.width; ++x) {
      const bool inArea =
          x >= area.left - 1 && x <= area.right + 1 && y >= area.bottom - 1 && y <= area.top + 1;
      if (lit(s, x, y) && !inArea && !(withLid && x > view::flameOrigin().x + 40)) ++outside;
    }
  }
  EXPECT_EQ(outside, 0) << "lit pixels outside the click rectangle";
  const int flameRow = static_cast<int>(view::flameOrigin().y);
  EXPECT_GT(litIn(s, area.left, area.right, flameRow - 3, flameRow - 1), 0) << "no top row";
  const bool bottom = litIn(s, area.left, area.right, area.bottom, area.bottom + 1) > 0;
  EXPECT_TRUE(bottom || touchesBothSides(s))
      << "the body touches neither the bottom nor both sides";
}

void clickBody(Lighter& lighter, int n) { lighter.click(380 + n, 599 - 150); }

// Two sparks, each waited out, then the steady flame.
void lightTheFlame(Lighter& lighter, const Screenshot& unlit) {
  const int before = litIn(unlit, 0, 799, 0, 599);
  for (int spark = 1; spark <= 2; ++spark) {
    clickBody(lighter, spark);
    ASSERT_TRUE(lighter.waitForOutput("spark!!\n", spark));
    const auto printed = std::chrono::steady_clock::now();
    ASSERT_TRUE(support::waitUntil(
        [&] {
          return std::chrono::steady_clock::now() - printed > kShortFlame &&
                 litIn(lighter.screenshot(), 0, 799, 0, 599) <= before;
        },
        support::Seconds(20)))
        << "the short flame of spark " << spark << " did not go out";
  }
  clickBody(lighter, 3);
  ASSERT_TRUE(lighter.waitForOutput("mouse clicked at 383 150\n"));
}

// The flame's foot: the band just above the body's top, across the flame's
// column, which nothing of the model covers.
int flameFoot(const Screenshot& s) {
  const int x = static_cast<int>(view::flameOrigin().x);
  const int y = static_cast<int>(view::flameOrigin().y);
  return litIn(s, x - 20, x + 20, y + 2, y + 30);
}

// `unlitOut`, when given, receives the picture before the flame was lit.
void showsFramedWithTheFlameOnTop(const std::string& dataDir, bool withLid = false,
                                  Screenshot* unlitOut = nullptr) {
  Lighter lighter(e2e::Options{dataDir});
  const Screenshot unlit = settled(lighter);
  if (unlitOut != nullptr) *unlitOut = unlit;
  EXPECT_EQ(lighter.output().find("face skipped"), std::string::npos);
  expectBodyFramed(unlit, withLid);
  EXPECT_EQ(flameFoot(unlit), 0);
  ASSERT_NO_FATAL_FAILURE(lightTheFlame(lighter, unlit));
  EXPECT_TRUE(support::waitUntil([&] { return flameFoot(lighter.screenshot()) > 41 * 29 / 2; },
                                 support::Seconds(20)))
      << "no flame at the body's top";
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
}

TEST(ImportedModel, ObjHouseShowsFramedWithTheFlameOnItsRoof) {
  Workspace w;
  showsFramedWithTheFlameOnTop(
      w.import({{"house.obj", testmodels::houseObj()}}, {w.path("house.obj")}));
}

TEST(ImportedModel, BinaryStlPyramidShowsFramedWithTheFlameOnItsTip) {
  Workspace w;
  showsFramedWithTheFlameOnTop(
      w.import({{"pyramid.stl", testmodels::pyramidStl()}}, {w.path("pyramid.stl")}));
}

TEST(ImportedModel, PlyBarShowsAsWideAsTheRectangle) {
  Workspace w;
  Screenshot unlit;
  showsFramedWithTheFlameOnTop(w.import({{"bar.ply", testmodels::barPly()}}, {w.path("bar.ply")}),
                               false, &unlit);
  // Four times as long as it is high: its width fills the rectangle.
  EXPECT_TRUE(touchesBothSides(unlit)) << "the bar does not reach both sides of the rectangle";
}

TEST(ImportedModel, LidStandsOpenRightOfTheFlame) {
  Workspace w;
  const std::string lid =
      "v -1 3 -0.5\nv 1 3 -0.5\nv 1 4 -0.5\nv -1 4 -0.5\n"
      "v -1 3 0.5\nv 1 3 0.5\nv 1 4 0.5\nv -1 4 0.5\n"
      "f 5 6 7 8\nf 2 1 4 3\nf 6 2 3 7\nf 1 5 8 4\nf 8 7 3 4\nf 1 2 6 5\n";
  const std::string dir = w.import({{"house.obj", testmodels::houseObj()}, {"lid.obj", lid}},
                                   {w.path("house.obj"), "--lid", w.path("lid.obj")});
  Lighter lighter(e2e::Options{dir});
  const Screenshot shot = settled(lighter);
  expectBodyFramed(shot, true);
  const int x = static_cast<int>(view::flameOrigin().x);
  EXPECT_GT(litIn(shot, x + 40, 799, 0, 599) - litIn(shot, x + 40, 500, 0, 300), 1000)
      << "no lid right of the flame";
  EXPECT_EQ(litIn(shot, x - 40, x + 40, 302, 599), 0) << "something in the flame's column";
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
}

}  // namespace
