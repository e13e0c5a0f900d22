// The flame on the real program: clicks through the X server, the menus,
// what the window shows and the GL calls each frame makes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "tests/e2e/harness.h"
#include "view/view_model.h"

namespace {

using e2e::GlCall;
using e2e::kShortFlame;
using e2e::Lighter;
using e2e::Screenshot;

constexpr int kDim = 30;  // r+g+b above this counts as lit
// A particle lives at most this many passes (its life of 1 fades by 0.003 a
// pass at the slowest), so after as many frames every particle is new.
constexpr int kLongestLife = 334;

// A left click at x and y counted upward from the bottom row, as the click
// sequence counts them.
void clickUp(Lighter& lighter, int x, int yUp) { lighter.click(x, view::kWindowHeight - 1 - yUp); }

// The n-th click of a sequence on the lighter's body, each one pixel right of
// the one before, so that each click prints a line of its own to wait for.
void clickLighter(Lighter& lighter, int n) { clickUp(lighter, 380 + n, 150); }

// Everything printed from the first click on (start-up prints its own lines).
std::string clicksPrinted(const Lighter& lighter) {
  const std::string out = lighter.output();
  const auto at = out.find("mouse clicked at");
  return at == std::string::npos ? "" : out.substr(at);
}

int litPixels(const Screenshot& s) { return s.countBrighter(0, 0, s.width, s.height, kDim); }

// Lit pixels above and below the window's centre row.
int litAbove(const Screenshot& s) { return s.countBrighter(0, 0, s.width, s.height / 2, kDim); }
int litBelow(const Screenshot& s) {
  return s.countBrighter(0, s.height / 2, s.width, s.height, kDim);
}

// A picture with nothing moving in it: the pictures of two frames in a row
// that agree.
Screenshot settledPicture(Lighter& lighter) {
  std::optional<Screenshot> last;
  std::optional<Screenshot> settled;
  support::waitUntil(
      [&] {
        if (!lighter.waitForFrames(1)) return false;
        Screenshot shot = lighter.screenshot();
        if (last && last->rgb == shot.rgb) settled = shot;
        last = std::move(shot);
        return settled.has_value();
      },
      support::Seconds(20));
  if (!settled) ADD_FAILURE() << "the picture never settled";
  return settled.value_or(Screenshot{});
}

// The window with the flame out, once the program handles clicks.
Screenshot startAndSettle(Lighter& lighter) {
  EXPECT_TRUE(lighter.waitForWindow(support::Seconds(60)));
  clickUp(lighter, 10, 590);  // outside the lighter: only printed
  EXPECT_TRUE(lighter.waitForOutput("mouse clicked at 10 590\n"));
  return settledPicture(lighter);
}

// Throws a spark and waits until its timers have fired, so that the next
// click is not put out by the spark's timer; by then its short flame is out.
void sparkAndWaitItOut(Lighter& lighter, int sparkNumber, const Screenshot& unlit) {
  clickLighter(lighter, sparkNumber);
  ASSERT_TRUE(lighter.waitForOutput("spark!!\n", sparkNumber));
  ASSERT_TRUE(lighter.waitForTimers(kShortFlame));
  ASSERT_LE(litPixels(lighter.screenshot()), litPixels(unlit))
      << "the short flame of spark " << sparkNumber << " did not go out";
}

// Two sparks and the lighting click: the steady flame burns.
void lightTheFlame(Lighter& lighter, const Screenshot& unlit) {
  ASSERT_NO_FATAL_FAILURE(sparkAndWaitItOut(lighter, 1, unlit));
  ASSERT_NO_FATAL_FAILURE(sparkAndWaitItOut(lighter, 2, unlit));
  clickLighter(lighter, 3);
}

bool flameBurns(const Screenshot& shot, const Screenshot& unlit) {
  // A steady flame is a column of squares tens of pixels wide rising from the centre.
  const int above = litAbove(shot) - litAbove(unlit);
  const int below = litBelow(shot) - litBelow(unlit);
  return above > 10000 && above > below;
}

TEST(Clicks, OnlyClicksOnTheLighterCountAndEachIsPrinted) {
  Lighter lighter;
  ASSERT_TRUE(lighter.waitForWindow());
  const view::PixelRect& area = view::kClickArea;
  const auto printed = [](int x, int yUp) {
    return "mouse clicked at " + std::to_string(x) + " " + std::to_string(yUp) + "\n";
  };
  lighter.click(10, 0);  // the top row
  clickUp(lighter, area.left - 1, 150);
  clickUp(lighter, 390, area.top + 1);
  clickUp(lighter, area.left, area.bottom);  // the corner counts
  ASSERT_TRUE(lighter.waitForOutput("spark!!"));
  clickUp(lighter, 600, 150);
  ASSERT_TRUE(lighter.waitForOutput(printed(600, 150)));
  EXPECT_EQ(clicksPrinted(lighter), printed(10, view::kWindowHeight - 1) +
                                        printed(area.left - 1, 150) + printed(390, area.top + 1) +
                                        printed(area.left, area.bottom) + "spark!!\n" +
                                        printed(600, 150));
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
}

TEST(Flame, BurnsAfterTheThirdCountedClickAndGoesOutAtTheFourth) {
  Lighter lighter;
  const Screenshot unlit = startAndSettle(lighter);
  ASSERT_NO_FATAL_FAILURE(lightTheFlame(lighter, unlit));
  Screenshot burning;
  ASSERT_TRUE(support::waitUntil(
      [&] {
        burning = lighter.screenshot();
        return flameBurns(burning, unlit);
      },
      support::Seconds(60)))
      << "no flame rose from the centre; lit above " << litAbove(burning) << ", below "
      << litBelow(burning);

  clickLighter(lighter, 4);
  ASSERT_TRUE(lighter.waitForOutput("mouse clicked at 384 150\n"));
  EXPECT_TRUE(support::waitUntil([&] { return lighter.screenshot().rgb == unlit.rgb; },
                                 support::Seconds(20)))
      << "the flame did not go out";
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
  EXPECT_EQ(clicksPrinted(lighter),
            "mouse clicked at 10 590\n"
            "mouse clicked at 381 150\nspark!!\n"
            "mouse clicked at 382 150\nspark!!\n"
            "mouse clicked at 383 150\n"
            "mouse clicked at 384 150\n");
}

// Lit pixels that lean clearly to blue, and those that lean to red.
int bluish(const Screenshot& s) {
  int n = 0;
  for (int y = 0; y < s.height; ++y) {
    for (int x = 0; x < s.width; ++x) n += s.at(x, y).b > s.at(x, y).r + 40;
  }
  return n;
}
int reddish(const Screenshot& s) {
  int n = 0;
  for (int y = 0; y < s.height; ++y) {
    for (int x = 0; x < s.width; ++x) n += s.at(x, y).r > s.at(x, y).b + 40;
  }
  return n;
}

TEST(Menu, BlueTurnsTheBurningFlameBlue) {
  Lighter lighter;
  const Screenshot unlit = startAndSettle(lighter);
  ASSERT_NO_FATAL_FAILURE(lightTheFlame(lighter, unlit));
  // Yellow at first, once the start colours have burnt away.
  ASSERT_TRUE(lighter.waitForFrames(kLongestLife, support::Seconds(300)));
  ASSERT_TRUE(support::waitUntil(
      [&] {
        const Screenshot s = lighter.screenshot();
        return flameBurns(s, unlit) && reddish(s) - reddish(unlit) > 5000 &&
               bluish(s) - bluish(unlit) < 200;
      },
      support::Seconds(20)))
      << "the flame never burnt yellow";
  const std::string before = lighter.output();
  lighter.pickMenu({0, 3});  // "Flame Colors", "Blue"
  ASSERT_TRUE(lighter.waitForFrames(kLongestLife, support::Seconds(300)));
  std::optional<Screenshot> shot;
  EXPECT_TRUE(support::waitUntil(
      [&] {
        shot = lighter.screenshot();
        return flameBurns(*shot, unlit) && bluish(*shot) - bluish(unlit) > 5000 &&
               reddish(*shot) - reddish(unlit) < 200;
      },
      support::Seconds(20)))
      << "the flame did not turn blue: bluish " << bluish(*shot) << ", reddish " << reddish(*shot);
  EXPECT_EQ(lighter.output(), before) << "a menu pick is no click";
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
}

// ---- GL calls ----

std::map<std::string, double> arguments(const GlCall& call) {
  static const std::regex pair(R"((\w+) = ([-+0-9.eE]+))");
  std::map<std::string, double> values;
  for (std::sregex_iterator it(call.args.begin(), call.args.end(), pair), end; it != end; ++it) {
    values[(*it)[1]] = std::atof((*it)[2].str().c_str());
  }
  return values;
}

// glColor4f, glBegin, four glTexCoord2d and glVertex3f pairs, glEnd.
constexpr size_t kCallsPerStrip = 11;

struct Strip {
  double s[4], t[4], x[4], y[4], z[4];
  double alpha;
};

// The particle strips of one frame, checking each is drawn as one colour
// and four textured vertices. `firstCall`, when given, receives the index of
// the first strip's colour call.
std::vector<Strip> stripsOf(const std::vector<GlCall>& frame, size_t* firstCall = nullptr) {
  std::vector<Strip> strips;
  for (size_t i = 0; i < frame.size(); ++i) {
    if (frame[i].name != "glBegin" ||
        frame[i].args.find("GL_TRIANGLE_STRIP") == std::string::npos) {
      continue;
    }
    if (strips.empty() && firstCall != nullptr) *firstCall = i - 1;
    Strip strip{};
    EXPECT_EQ(frame[i - 1].name, "glColor4f") << "call " << frame[i].index;
    strip.alpha = arguments(frame[i - 1])["alpha"];
    for (int v = 0; v < 4; ++v) {
      const GlCall& tex = frame.at(i + 1 + 2 * v);
      const GlCall& vertex = frame.at(i + 2 + 2 * v);
      EXPECT_EQ(tex.name, "glTexCoord2d") << "call " << tex.index;
      EXPECT_EQ(vertex.name, "glVertex3f") << "call " << vertex.index;
      auto st = arguments(tex);
      auto xyz = arguments(vertex);
      strip.s[v] = st["s"];
      strip.t[v] = st["t"];
      strip.x[v] = xyz["x"];
      strip.y[v] = xyz["y"];
      strip.z[v] = xyz["z"];
    }
    EXPECT_EQ(frame.at(i + 9).name, "glEnd");
    strips.push_back(strip);
  }
  return strips;
}

void expectUnitSquare(const Strip& strip) {
  // Upper right, upper left, lower right, lower left.
  const double s[4] = {1, 0, 1, 0}, t[4] = {1, 1, 0, 0};
  for (int v = 0; v < 4; ++v) {
    EXPECT_EQ(strip.s[v], s[v]);
    EXPECT_EQ(strip.t[v], t[v]);
    EXPECT_EQ(strip.z[v], strip.z[0]);
  }
  EXPECT_NEAR(strip.x[0] - strip.x[1], 1.0, 1e-4);
  EXPECT_NEAR(strip.y[0] - strip.y[2], 1.0, 1e-4);
  EXPECT_EQ(strip.x[0], strip.x[2]);
  EXPECT_EQ(strip.x[1], strip.x[3]);
  EXPECT_EQ(strip.y[0], strip.y[1]);
  EXPECT_EQ(strip.y[2], strip.y[3]);
}

TEST(FlameCalls, EachFrameDrawsAllParticlesAfterTheLighterWhileTheFlameBurns) {
  Lighter lighter({"", /*trace=*/true});
  const Screenshot unlit = startAndSettle(lighter);
  ASSERT_NO_FATAL_FAILURE(lightTheFlame(lighter, unlit));
  ASSERT_TRUE(support::waitUntil([&] { return flameBurns(lighter.screenshot(), unlit); },
                                 support::Seconds(60)));
  // Let the steady flame burn a dozen frames, past the ten passes of the
  // shortest life.
  ASSERT_TRUE(lighter.waitForFrames(12, support::Seconds(120)));
  clickLighter(lighter, 4);
  ASSERT_TRUE(lighter.waitForOutput("mouse clicked at 384 150\n"));
  ASSERT_TRUE(support::waitUntil([&] { return lighter.screenshot().rgb == unlit.rgb; },
                                 support::Seconds(60)));
  ASSERT_EQ(lighter.exitThroughMenu(), 0);

  auto frames = e2e::splitFrames(lighter.glCalls());
  ASSERT_GE(frames.size(), 3u);
  frames.pop_back();     // cut short by "Exit"
  std::vector<int> lit;  // frames that drew the flame
  for (size_t f = 0; f < frames.size(); ++f) {
    SCOPED_TRACE("frame " + std::to_string(f));
    const auto& frame = frames[f];
    size_t first = 0;
    const auto strips = stripsOf(frame, &first);
    if (strips.empty()) continue;
    ASSERT_EQ(strips.size(), 1000u);
    lit.push_back(static_cast<int>(f));
    // After the lighter's matrix is popped, and right before the swap.
    EXPECT_EQ(frame[first - 1].name, "glPopMatrix");
    ASSERT_GE(frame.size(), first + 1000 * kCallsPerStrip + 2);
    EXPECT_EQ(frame[first + 1000 * kCallsPerStrip].name, "glFlush");
    EXPECT_EQ(frame[first + 1000 * kCallsPerStrip + 1].name, "glXSwapBuffers");
    for (const auto& strip : strips) expectUnitSquare(strip);
    if (::testing::Test::HasFailure()) return;
  }
  ASSERT_FALSE(lit.empty());
  EXPECT_GT(lit.front(), 0) << "no flame before the first click";
  EXPECT_LT(lit.back(), static_cast<int>(frames.size()) - 1) << "the flame went out";

  // The first spark frame shows every particle in its start state: at the
  // origin, full life, a spark's distance away.
  for (const auto& strip : stripsOf(frames[lit.front()])) {
    EXPECT_EQ(strip.x[0], 0.5);
    EXPECT_EQ(strip.y[0], 0.5);
    EXPECT_EQ(strip.z[0], -40.0);
    EXPECT_EQ(strip.alpha, 1.0);
  }
  // In the steady flame a particle at full life was born in the pass before:
  // at the origin, ten units in front of the eye.
  int newborn = 0;
  for (const auto& strip : stripsOf(frames[lit.back()])) {
    if (strip.alpha != 1.0) continue;
    ++newborn;
    EXPECT_EQ(strip.x[0], 0.5);
    EXPECT_EQ(strip.y[0], 0.5);
    EXPECT_EQ(strip.z[0], -10.0);
  }
  EXPECT_GT(newborn, 0);

  // It rises: its first move, shown by the next frame, is its vertical speed
  // over the slowdown's 2000, and the speed is a spread of -30 to 29 lifted
  // by the 80 start-up adds.
  ASSERT_GE(lit.size(), 2u);
  ASSERT_EQ(lit[lit.size() - 2], lit.back() - 1);
  const auto born = stripsOf(frames[lit.back() - 1]);
  const auto moved = stripsOf(frames[lit.back()]);
  int rising = 0;
  for (size_t i = 0; i < born.size(); ++i) {
    if (born[i].alpha != 1.0) continue;
    ++rising;
    const double speed = (moved[i].y[0] - born[i].y[0]) * 2000;
    EXPECT_GT(speed, 49.9) << "particle " << i;
    EXPECT_LT(speed, 110) << "particle " << i;
  }
  EXPECT_GT(rising, 0);
}

}  // namespace
