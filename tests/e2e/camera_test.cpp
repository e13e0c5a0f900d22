// The turntable camera on the real program: drags, the wheel and the keys
// turn and zoom the lighter in every mode, R gives back the start picture,
// presses count where the lighter is drawn, and the flame stands on the
// chimney from any side.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/harness.h"
#include "tests/support/command.h"
#include "tests/support/temp_dir.h"
#include "view/view_model.h"

namespace {

using e2e::kShortFlame;
using e2e::Lighter;
using e2e::Point;
using e2e::Program;
using e2e::Screenshot;
using support::Seconds;

constexpr int kDim = 30;  // r+g+b above this counts as lit
// A particle lives at most this many passes, so after as many frames every
// particle of a flame is one born in it.
constexpr int kLongestLife = 334;

Program withArgs(const std::vector<std::string>& args) {
  Program p;
  p.args = args;
  return p;
}

int litPixels(const Screenshot& s) { return s.countBrighter(0, 0, s.width, s.height, kDim); }

int differing(const Screenshot& a, const Screenshot& b) {
  int n = 0;
  for (int y = 0; y < a.height; ++y) {
    for (int x = 0; x < a.width; ++x) {
      const e2e::Rgb p = a.at(x, y), q = b.at(x, y);
      n += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b) > 60;
    }
  }
  return n;
}

std::string clickLine(int x, int y) {
  return "mouse clicked at " + std::to_string(x) + " " +
         std::to_string(view::kWindowHeight - 1 - y) + "\n";
}

// Everything printed since `mark` (an earlier output()).
std::string printedSince(const Lighter& lighter, const std::string& mark) {
  return lighter.output().substr(mark.size());
}

// The start picture, once the window shows a settled frame.
Screenshot started(Lighter& lighter) {
  EXPECT_TRUE(lighter.waitForWindow(Seconds(60)));
  auto shot = lighter.settledScreenshot(Seconds(60));
  EXPECT_TRUE(shot.has_value());
  return shot.value_or(Screenshot{});
}

// Waits for a settled picture that is not `other`, and returns it.
Screenshot settledApartFrom(Lighter& lighter, const Screenshot& other) {
  std::optional<Screenshot> shot;
  EXPECT_TRUE(support::waitUntil(
      [&] {
        shot = lighter.settledScreenshot(Seconds(60));
        return shot && differing(*shot, other) > 1000;
      },
      Seconds(60)))
      << "the picture did not change";
  return shot.value_or(Screenshot{});
}

bool showsAgain(Lighter& lighter, const Screenshot& picture) {
  return lighter
      .waitForScreenshot([&](const Screenshot& s) { return s.rgb == picture.rgb; }, Seconds(60))
      .has_value();
}

void pressKeyTimes(Lighter& lighter, const std::string& key, int times) {
  for (int i = 0; i < times; ++i) lighter.key(key);
}

// A window point that shows what `wanted` asks of it and of all its
// neighbours within 3 pixels, scanned row by row within [x0, x1) x [y0, y1).
std::optional<Point> findPoint(const Screenshot& s, int x0, int x1, int y0, int y1,
                               bool (*wanted)(e2e::Rgb)) {
  for (int y = y0 + 3; y < y1 - 3; y += 2) {
    for (int x = x0 + 3; x < x1 - 3; x += 2) {
      bool all = true;
      for (int dy = -3; dy <= 3 && all; ++dy) {
        for (int dx = -3; dx <= 3 && all; ++dx) all = wanted(s.at(x + dx, y + dy));
      }
      if (all) return Point{x, y};
    }
  }
  return std::nullopt;
}
bool isBody(e2e::Rgb c) { return c.sum() > 300; }
bool isBackground(e2e::Rgb c) { return c.sum() == 0; }

// ---- Turning ------------------------------------------------------------------

TEST(Turning, ADragFromBesideTheLighterTurnsItAndRGivesBackTheStartPictureInEveryMode) {
  for (const char* mode : {"smooth", "wireframe", "lit"}) {
    SCOPED_TRACE(mode);
    Lighter lighter({}, withArgs({"--mode", mode}));
    const Screenshot front = started(lighter);
    const std::string mark = lighter.output();
    lighter.drag({{100, 300}, {160, 300}, {250, 320}});
    settledApartFrom(lighter, front);
    EXPECT_EQ(printedSince(lighter, mark), clickLine(100, 300));  // the press only
    lighter.key("r");
    EXPECT_TRUE(showsAgain(lighter, front)) << "R did not give the start picture back";
    // The middle button turns it from the body too, and Home goes back.
    lighter.drag({{390, 450}, {330, 430}, {300, 420}}, 2);
    settledApartFrom(lighter, front);
    lighter.key("Home");
    EXPECT_TRUE(showsAgain(lighter, front)) << "Home did not give the start picture back";
    EXPECT_EQ(printedSince(lighter, mark), clickLine(100, 300));
    EXPECT_EQ(lighter.exitThroughMenu(), 0);
  }
}

// Lit pixels in the rows of the lid beside the chimney (window y 200 to 290),
// left and right of the turntable's axis on screen.
struct Sides {
  int left = 0, right = 0;
};
Sides lidRows(const Screenshot& s, int axisX) {
  return {s.countBrighter(0, 200, axisX, 290, kDim),
          s.countBrighter(axisX, 200, s.width, 290, kDim)};
}

// The width of the case on a row through it (window y 520).
int caseWidth(const Screenshot& s) {
  int first = -1, last = -1;
  for (int x = 0; x < s.width; ++x) {
    if (s.at(x, 520).sum() <= kDim) continue;
    if (first < 0) first = x;
    last = x;
  }
  return first < 0 ? 0 : last - first + 1;
}

TEST(Turning, AQuarterTurnShowsTheSideAndAHalfTurnTheBack) {
  Lighter lighter({}, withArgs({"--mode", "lit"}));
  const Screenshot front = started(lighter);
  const int axisX = 478;  // the middle of the body's and lid's picture
  const Sides atFront = lidRows(front, axisX);
  ASSERT_GT(atFront.right, 5000);  // the lid open to the right
  ASSERT_LT(atFront.left, 500);
  pressKeyTimes(lighter, "Right", 6);
  const Screenshot side = settledApartFrom(lighter, front);
  EXPECT_LT(caseWidth(side), caseWidth(front) * 6 / 10) << "no narrow side after a quarter turn";
  pressKeyTimes(lighter, "Right", 6);
  const Screenshot back = settledApartFrom(lighter, side);
  EXPECT_NEAR(caseWidth(back), caseWidth(front), caseWidth(front) / 8);
  const Sides behind = lidRows(back, axisX);
  EXPECT_GT(behind.left, 5000) << "the lid is not on the other side from behind";
  EXPECT_LT(behind.right, behind.left / 4);
  EXPECT_EQ(lighter.exitThroughMenu(), 0);

  // --view starts there: the same picture, pixel for pixel.
  Lighter fromBehind({}, withArgs({"--mode", "lit", "--view", "180,0"}));
  EXPECT_TRUE(fromBehind.waitForWindow(Seconds(60)));
  EXPECT_TRUE(showsAgain(fromBehind, back));
  EXPECT_EQ(fromBehind.exitThroughMenu(), 0);
}

// ---- Zooming ------------------------------------------------------------------

TEST(Zooming, TheWheelAndPlusAndMinusMakeItLargerAndSmallerAndPrintNothing) {
  Lighter lighter;
  const Screenshot front = started(lighter);
  const std::string mark = lighter.output();
  const int before = litPixels(front);
  lighter.wheel(100, 100, 2);
  const Screenshot nearer = settledApartFrom(lighter, front);
  EXPECT_GT(litPixels(nearer), before * 5 / 4);
  lighter.wheel(100, 100, -4);
  const Screenshot farther = settledApartFrom(lighter, nearer);
  EXPECT_LT(litPixels(farther), before * 4 / 5);
  pressKeyTimes(lighter, "plus", 2);  // back to the start, exactly
  EXPECT_TRUE(showsAgain(lighter, front));
  lighter.key("minus");
  settledApartFrom(lighter, front);
  lighter.wheel(100, 100, 1);
  EXPECT_TRUE(showsAgain(lighter, front));
  EXPECT_EQ(printedSince(lighter, mark), "");
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
}

// ---- Clicks once the camera has moved -----------------------------------------

// Three presses at `at` (each a pixel to the right of the last): two sparks,
// each waited out, then the flame.
void threePresses(Lighter& lighter, Point at) {
  for (int n = 0; n < 3; ++n) {
    lighter.click(at.x + n, at.y);
    ASSERT_TRUE(lighter.waitForOutput(clickLine(at.x + n, at.y)));
    ASSERT_TRUE(lighter.waitForTimers(kShortFlame));
  }
}

TEST(TurnedClicks, AfterAZoomThreePressesOnTheBodyOutsideTheStartRectangleLightTheFlame) {
  Lighter lighter;
  const Screenshot front = started(lighter);
  lighter.wheel(100, 100, 3);
  const Screenshot nearer = settledApartFrom(lighter, front);
  // On the body where it has grown past the rectangle's left side.
  const view::PixelRect& r = view::kClickArea;
  const auto on = findPoint(nearer, 0, r.left - 6, 0, nearer.height, isBody);
  ASSERT_TRUE(on.has_value()) << "no body left of the rectangle after the zoom";
  const std::string mark = lighter.output();
  threePresses(lighter, *on);
  EXPECT_EQ(printedSince(lighter, mark), clickLine(on->x, on->y) + "spark!!\n" +
                                             clickLine(on->x + 1, on->y) + "spark!!\n" +
                                             clickLine(on->x + 2, on->y));
  // The flame burns above the chimney, where the picture was dark.
  EXPECT_TRUE(lighter
                  .waitForScreenshot([&](const Screenshot& s) {
                    return s.countBrighter(0, 0, s.width, 200, kDim) >
                           nearer.countBrighter(0, 0, s.width, 200, kDim) + 5000;
                  })
                  .has_value())
      << "no flame";
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
}

TEST(TurnedClicks, AfterATurnAPressOnTheBackgroundCountsNothingAndOneOnTheSideCounts) {
  Lighter lighter;
  const Screenshot front = started(lighter);
  pressKeyTimes(lighter, "Right", 6);
  const Screenshot side = settledApartFrom(lighter, front);
  // Inside the start rectangle, where the body was and the side is not.
  const view::PixelRect& r = view::kClickArea;
  const int top = view::kWindowHeight - 1 - r.top, bottom = view::kWindowHeight - 1 - r.bottom;
  const auto off = findPoint(side, r.left, r.right, top, bottom, isBackground);
  ASSERT_TRUE(off.has_value());
  const auto on = findPoint(side, 0, side.width, 350, side.height, isBody);
  ASSERT_TRUE(on.has_value());
  const std::string mark = lighter.output();
  lighter.click(off->x, off->y);
  lighter.click(on->x, on->y);
  ASSERT_TRUE(lighter.waitForOutput("spark!!\n"));
  EXPECT_EQ(printedSince(lighter, mark),
            clickLine(off->x, off->y) + clickLine(on->x, on->y) + "spark!!\n");
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
}

// ---- The flame on the chimney -----------------------------------------------

// The flame's pixels: much brighter than in `unlit`, where `unlit` is dark.
bool flameAt(const Screenshot& burning, const Screenshot& unlit, int x, int y) {
  return unlit.at(x, y).sum() <= kDim && burning.at(x, y).sum() > unlit.at(x, y).sum() + 90;
}

// The chimney's top, seen from any side at the start height, is on the
// window's middle row, where the line of sight meets the model's top. In
// the middle of the flame's width the chimney's top must be on that row
// (the flame stands over it, not beside it) and the flame must reach down to
// it (it stands on it, not above it). The flame's edges may be wider than
// the chimney, and the chimney's holes show the flame through them.
void expectFlameOnTheChimney(const Screenshot& burning, const Screenshot& unlit) {
  const int middle = view::kWindowHeight / 2;
  // The flame's columns: those it fills in the rows well above the chimney.
  std::vector<int> filled;
  for (int x = 0; x < burning.width; ++x) {
    int n = 0;
    for (int y = middle - 100; y < middle - 10; ++y) n += flameAt(burning, unlit, x, y);
    if (n > 45) filled.push_back(x);
  }
  ASSERT_GT(filled.size(), 30u) << "no flame";
  // Its middle fifth.
  const int first = filled.front(), last = filled.back(), fifth = (last - first) / 5;
  int columns = 0, onTheTop = 0, touching = 0;
  for (int x = first + 2 * fifth; x <= last - 2 * fifth; ++x) {
    ++columns;
    int top = middle - 30;
    while (top < burning.height && unlit.at(x, top).sum() <= kDim) ++top;
    if (std::abs(top - middle) > 3) continue;
    ++onTheTop;
    bool reaches = false;
    for (int y = top - 6; y < top; ++y) reaches = reaches || flameAt(burning, unlit, x, y);
    touching += reaches;
  }
  EXPECT_GE(onTheTop * 5, columns * 4) << "the chimney's top is not under the flame's middle";
  EXPECT_GE(touching * 5, columns * 4) << "the flame does not reach down to the chimney's top";
}

// The side without the lid in front of the chimney: turned 60 degrees, the
// open lid (behind, from straight beside) clears the chimney's top.
TEST(TurnedFlame, FromTheSideAndFromBehindTheFlameStandsOnTheChimney) {
  Lighter lighter;
  const Screenshot front = started(lighter);
  pressKeyTimes(lighter, "Right", 4);
  const Screenshot side = settledApartFrom(lighter, front);
  pressKeyTimes(lighter, "Right", 8);
  const Screenshot back = settledApartFrom(lighter, side);
  lighter.key("r");
  ASSERT_TRUE(showsAgain(lighter, front));
  for (int n = 0; n < 3; ++n) {
    lighter.key("space");
    if (n < 2) {
      ASSERT_TRUE(lighter.waitForOutput("spark!!\n", n + 1));
    }
    ASSERT_TRUE(lighter.waitForTimers(kShortFlame));
  }
  ASSERT_TRUE(lighter.waitForFrames(kLongestLife, Seconds(300)));
  {
    SCOPED_TRACE("at the start view");
    expectFlameOnTheChimney(lighter.screenshot(), front);
  }
  pressKeyTimes(lighter, "Right", 4);
  ASSERT_TRUE(lighter.waitForFrames(3));
  {
    SCOPED_TRACE("from the side");
    expectFlameOnTheChimney(lighter.screenshot(), side);
  }
  pressKeyTimes(lighter, "Right", 8);
  ASSERT_TRUE(lighter.waitForFrames(3));
  {
    SCOPED_TRACE("from behind");
    expectFlameOnTheChimney(lighter.screenshot(), back);
  }
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
}

// ---- Keys whose effect must end ------------------------------------------------

// Space's spark burst ends as a click's does: its timers put the short
// flame out, and the picture is the unlit one again.
TEST(CameraKeys, SpacesSparkBurstEndsAsAClicksDoesAtTheStartViewAndTurned) {
  Lighter lighter;
  const Screenshot front = started(lighter);
  lighter.key("space");
  ASSERT_TRUE(lighter.waitForOutput("spark!!\n"));
  ASSERT_TRUE(lighter.waitForTimers(kShortFlame));
  EXPECT_TRUE(showsAgain(lighter, front)) << "the spark's flame burns on";
  lighter.key("Left");
  const Screenshot turned = settledApartFrom(lighter, front);
  lighter.key("space");
  ASSERT_TRUE(lighter.waitForOutput("spark!!\n", 2));
  ASSERT_TRUE(lighter.waitForTimers(kShortFlame));
  EXPECT_TRUE(showsAgain(lighter, turned)) << "the spark's flame burns on, turned";
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
}

// Each camera key makes one step and stops there: the picture settles, and
// the opposite key gives the picture before it back exactly. Left is the
// 15 degrees --view gives.
TEST(CameraKeys, EachCameraKeyMakesOneStepThatItsOppositeUndoes) {
  Lighter lighter;
  const Screenshot front = started(lighter);
  const std::string mark = lighter.output();
  for (const auto& [key, opposite] :
       {std::pair{"Left", "Right"}, {"Up", "Down"}, {"plus", "minus"}}) {
    SCOPED_TRACE(key);
    lighter.key(key);
    const Screenshot moved = settledApartFrom(lighter, front);
    ASSERT_TRUE(lighter.waitForFrames(5));
    EXPECT_EQ(lighter.screenshot().rgb, moved.rgb) << "the view went on moving";
    lighter.key(opposite);
    EXPECT_TRUE(showsAgain(lighter, front));
    if (std::string(key) == "Left") {
      Lighter at15({}, withArgs({"--view", "15,0"}));
      EXPECT_TRUE(at15.waitForWindow(Seconds(60)));
      EXPECT_TRUE(showsAgain(at15, moved));
      EXPECT_EQ(at15.exitThroughMenu(), 0);
    }
  }
  lighter.key("Left", {"shift"});  // Shift changes nothing about the arrows
  settledApartFrom(lighter, front);
  lighter.key("Right");
  EXPECT_TRUE(showsAgain(lighter, front));
  EXPECT_EQ(printedSince(lighter, mark), "");
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
}

// ---- GL calls -------------------------------------------------------------------

// At the start view, and after R, a frame makes the start view's calls;
// turned, the same calls but the camera's own numbers.
TEST(CameraCalls, AfterRAFrameIsTheStartViewsCallForCallAndTurnedOnlyTheCameraDiffers) {
  for (const char* mode : {"smooth", "lit"}) {
    SCOPED_TRACE(mode);
    Lighter lighter({"", /*trace=*/true}, withArgs({"--mode", mode}));
    ASSERT_TRUE(lighter.waitForWindow(Seconds(60)));
    ASSERT_TRUE(lighter.waitForFrames(2));
    lighter.key("Left");
    ASSERT_TRUE(lighter.waitForFrames(3));
    lighter.key("r");
    ASSERT_TRUE(lighter.waitForFrames(3));
    EXPECT_EQ(lighter.exitThroughMenu(), 0);
    std::vector<std::vector<std::string>> frames;
    for (const auto& f : e2e::splitFrames(lighter.glCalls())) {
      if (isLighterFrame(f)) frames.push_back(callsOf(f));
    }
    ASSERT_GE(frames.size(), 5u);
    const std::vector<std::string>& start = frames[1];  // frame 0 holds start-up
    EXPECT_TRUE(frames.back() == start) << "the frame after R is not the start view's";
    const auto turned = std::find_if(frames.begin(), frames.end(),
                                     [&](const auto& f) { return f != start && f != frames[0]; });
    ASSERT_NE(turned, frames.end()) << "no turned frame";
    ASSERT_EQ(turned->size(), start.size());
    int differ = 0;
    for (size_t i = 0; i < start.size(); ++i) {
      if ((*turned)[i] == start[i]) continue;
      ++differ;
      // gluLookAt's matrix and its shift of the eye.
      EXPECT_TRUE((*turned)[i].rfind("glMultMatrix", 0) == 0 ||
                  (*turned)[i].rfind("glTranslated", 0) == 0)
          << (*turned)[i] << " in place of " << start[i];
    }
    EXPECT_GE(differ, 1);
  }
}

// ---- Imported models ------------------------------------------------------------

// The project's candle, imported with lighter-import's defaults into a
// scratch directory, and the cache a one-step open fills there.
class ImportedCandle {
 public:
  ImportedCandle() {
    int status = -1;
    support::run({LIGHTER_MODEL_GEN, "candle", "2000", model()}, &status);
    EXPECT_EQ(status, 0);
    support::run({LIGHTER_IMPORT_BINARY, model(), "-o", data()}, &status);
    EXPECT_EQ(status, 0);
  }
  std::string model() const { return dir_.path() + "/candle.obj"; }
  std::string data() const { return dir_.path() + "/data"; }
  Program openedInOneStep(const std::vector<std::string>& args) const {
    Program p = withArgs(args);
    p.wrapper = {"env", "XDG_CACHE_HOME=" + dir_.path() + "/cache"};
    p.args.push_back(model());
    return p;
  }

 private:
  support::TempDir dir_{"lighter-camera-import"};
};

bool isLitBody(e2e::Rgb c) { return c.sum() > 120; }

TEST(ImportedModels, ATurnedImportCountsPressesOnItAndOpenedInOneStepShowsTheSamePicture) {
  const ImportedCandle candle;
  Lighter lighter({candle.data()}, withArgs({"--mode", "lit"}));
  const Screenshot front = started(lighter);
  pressKeyTimes(lighter, "Right", 10);
  lighter.key("Down");
  const Screenshot behind = settledApartFrom(lighter, front);
  const auto on = findPoint(behind, 0, behind.width, 350, behind.height, isLitBody);
  ASSERT_TRUE(on.has_value());
  const std::string mark = lighter.output();
  lighter.click(on->x, on->y);
  ASSERT_TRUE(lighter.waitForOutput("spark!!\n"));
  EXPECT_EQ(printedSince(lighter, mark), clickLine(on->x, on->y) + "spark!!\n");
  ASSERT_TRUE(lighter.waitForTimers(kShortFlame));
  EXPECT_TRUE(showsAgain(lighter, behind));
  lighter.key("r");
  EXPECT_TRUE(showsAgain(lighter, front));
  EXPECT_EQ(lighter.exitThroughMenu(), 0);

  // `lighter MODEL` imports it the same way and shows it in Lit, and --view
  // turns it there as the keys did.
  Lighter opened({}, candle.openedInOneStep({"--view", "-150,15"}));
  EXPECT_TRUE(opened.waitForWindow(Seconds(120)));
  EXPECT_TRUE(showsAgain(opened, behind));
  opened.key("Home");
  EXPECT_TRUE(showsAgain(opened, front));
  EXPECT_EQ(opened.exitThroughMenu(), 0);
}

}  // namespace
