// Lit's flame as the real program shows it: a lighter's flame in every
// colour of the menu, not burnt out and inside the window, the colour cycle,
// and the same flame from a driver without framebuffer objects.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/e2e/harness.h"
#include "tests/e2e/lit_steps.h"
#include "tests/support/command.h"

namespace {

using e2e::atRest;
using e2e::GlCall;
using e2e::Lighter;
using e2e::lightTheFlame;
using e2e::Screenshot;

// A particle lives at most this many frames: after as many, every particle
// was born in the colour chosen before them.
constexpr int kLongestLife = 334;

// The flame's pixels: lit in the picture (r+g+b over 60) where the picture
// at rest is background (r+g+b under 30), so that the lighter's own metal,
// which the flame's light changes, is left out.
struct FlameMeasure {
  int lit = 0;
  int burntOut = 0;     // all three channels 245 or more
  int highestRow = -1;  // the topmost row with a flame pixel, from the top; -1 without
  double mean[3] = {0, 0, 0};
  double burntShare() const { return lit == 0 ? 0.0 : static_cast<double>(burntOut) / lit; }
};

FlameMeasure measure(const Screenshot& rest, const Screenshot& shot) {
  FlameMeasure m;
  for (int y = 0; y < shot.height; ++y) {
    for (int x = 0; x < shot.width; ++x) {
      const e2e::Rgb c = shot.at(x, y);
      if (rest.at(x, y).sum() >= 30 || c.sum() <= 60) continue;
      ++m.lit;
      if (std::min({c.r, c.g, c.b}) >= 245) ++m.burntOut;
      if (m.highestRow < 0) m.highestRow = y;
      m.mean[0] += c.r;
      m.mean[1] += c.g;
      m.mean[2] += c.b;
    }
  }
  for (double& v : m.mean) v /= std::max(1, m.lit);
  return m;
}

// The channel (0 red, 1 green, 2 blue) that is strongest, and weakest.
int strongest(const double c[3]) { return static_cast<int>(std::max_element(c, c + 3) - c); }
int weakest(const double c[3]) { return static_cast<int>(std::min_element(c, c + 3) - c); }

void report(const std::string& what, const FlameMeasure& m) {
  std::printf("%s: %d flame pixels, %.1f %% burnt out, highest at row %d, mean %.0f %.0f %.0f\n",
              what.c_str(), m.lit, 100.0 * m.burntShare(), m.highestRow, m.mean[0], m.mean[1],
              m.mean[2]);
  ::testing::Test::RecordProperty(what, std::to_string(100.0 * m.burntShare()) + " % burnt, row " +
                                            std::to_string(m.highestRow));
}

// The flame of every colour, each once all its particles were born in it,
// over a few frames: it burns, at most a quarter of it burnt-out white, its
// tip well inside the window, in its colour's order of channels.
void expectAFlameInsideTheWindow(const FlameMeasure& m) {
  EXPECT_GT(m.lit, 3000);
  EXPECT_LE(m.burntShare(), 0.25);
  EXPECT_GE(m.highestRow, 20);
}

TEST(LitFlamePicture, EveryMenuColourIsALighterFlameNotBurntOutInsideTheWindow) {
  e2e::Program program;
  program.args = {"--mode", "lit"};
  Lighter lighter({}, program);
  const Screenshot rest = atRest(lighter);
  ASSERT_NO_FATAL_FAILURE(lightTheFlame(lighter));
  struct Colour {
    const char* name;
    int entry;     // in "Flame Colors"
    int top, low;  // strongest and weakest channel of its row (-1: two alike)
  };
  const Colour menu[] = {
      {"Yellow", 0, 0, 2}, {"Red", 1, 0, -1}, {"Green", 2, 1, 2}, {"Blue", 3, 2, 0}};
  for (const Colour& colour : menu) {
    SCOPED_TRACE(colour.name);
    lighter.pickMenu({0, colour.entry});
    ASSERT_TRUE(lighter.waitForFrames(kLongestLife, support::Seconds(300)));
    for (int shot = 0; shot < 3; ++shot) {
      ASSERT_TRUE(lighter.waitForFrames(5));
      const FlameMeasure m = measure(rest, lighter.screenshot());
      report(std::string(colour.name) + " flame, shot " + std::to_string(shot), m);
      expectAFlameInsideTheWindow(m);
      EXPECT_EQ(strongest(m.mean), colour.top);
      if (colour.low >= 0) {
        EXPECT_EQ(weakest(m.mean), colour.low);
      }
    }
  }
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
}

// "Rotate" cycles the colour a step every 26 frames: over a few hundred
// frames the flame turns from red-leaning to blue-leaning and back.
TEST(LitFlamePicture, RotateCyclesTheFlamesColour) {
  e2e::Program program;
  program.args = {"--mode", "lit"};
  Lighter lighter({}, program);
  const Screenshot rest = atRest(lighter);
  ASSERT_NO_FATAL_FAILURE(lightTheFlame(lighter));
  lighter.pickMenu({0, 4});
  double mostRed = -1e9, mostBlue = -1e9;
  for (int shot = 0; shot < 12 && (mostRed < 40 || mostBlue < 40); ++shot) {
    ASSERT_TRUE(lighter.waitForFrames(40, support::Seconds(60)));
    const FlameMeasure m = measure(rest, lighter.screenshot());
    mostRed = std::max(mostRed, m.mean[0] - m.mean[2]);
    mostBlue = std::max(mostBlue, m.mean[2] - m.mean[0]);
  }
  EXPECT_GT(mostRed, 40.0);
  EXPECT_GT(mostBlue, 40.0);
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
}

// Mesa told to be GL 2.1 without GL_ARB_framebuffer_object: the program
// copies the flame out of the back buffer instead, and shows the same kind
// of flame.
TEST(LitFlamePicture, WithoutFramebufferObjectsTheFlameIsCopiedAndLooksTheSame) {
  e2e::Program program;
  program.args = {"--mode", "lit"};
  program.wrapper = {"env", "MESA_GL_VERSION_OVERRIDE=2.1",
                     "MESA_EXTENSION_OVERRIDE=-GL_ARB_framebuffer_object"};
  Lighter lighter({"", /*trace=*/true}, program);
  const Screenshot rest = atRest(lighter);
  ASSERT_NO_FATAL_FAILURE(lightTheFlame(lighter));
  ASSERT_TRUE(lighter.waitForFrames(kLongestLife, support::Seconds(600)));
  const FlameMeasure m = measure(rest, lighter.screenshot());
  report("Yellow flame through copies", m);
  expectAFlameInsideTheWindow(m);
  EXPECT_EQ(strongest(m.mean), 0);
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
  const auto frames = e2e::splitFrames(lighter.glCalls());
  const auto flame = std::find_if(frames.rbegin(), frames.rend(), [](const auto& f) {
    return hasCall(f, "glDrawArrays") && !f.empty() && f.back().name == "glXSwapBuffers";
  });
  ASSERT_NE(flame, frames.rend()) << "no frame with the flame in the trace";
  EXPECT_TRUE(hasCall(*flame, "glCopyTexSubImage2D"));
  EXPECT_FALSE(hasCall(*flame, "glBindFramebuffer"));
}

}  // namespace
