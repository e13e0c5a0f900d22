// The "Lit" mode as the real program shows it: shading, the flame's light
// and the soft flame measured on screenshots next to "Smooth", and the order
// of its GL calls.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/e2e/harness.h"
#include "tests/e2e/lit_steps.h"
#include "tests/support/command.h"
#include "tests/support/temp_dir.h"

namespace {

using e2e::atRest;
using e2e::GlCall;
using e2e::Lighter;
using e2e::lightTheFlame;
using e2e::Screenshot;

// Window pixels, rows from the top.
struct Rect {
  int x0, y0, x1, y1;
};
// The lighter's body below the chimney, and the flame above the centre.
constexpr Rect kBody{300, 420, 480, 580};
constexpr Rect kFlame{350, 60, 450, 290};
constexpr Rect kWindow{0, 0, 800, 600};

double luminance(const e2e::Rgb& c) { return (c.r + c.g + c.b) / 3.0; }

// The spread of the surface's shading: the 5th to 95th percentile of the
// luminance averaged over 9 by 9 pixels (which blurs texture noise away),
// over the points whose whole neighbourhood is surface (not black).
double shadingSpread(const Screenshot& s, Rect r) {
  constexpr int k = 4;
  std::vector<double> values;
  for (int y = r.y0 + k; y < r.y1 - k; y += 2) {
    for (int x = r.x0 + k; x < r.x1 - k; x += 2) {
      double sum = 0.0;
      bool surface = true;
      for (int dy = -k; dy <= k && surface; ++dy) {
        for (int dx = -k; dx <= k; ++dx) {
          const double l = luminance(s.at(x + dx, y + dy));
          if (l < 8.0) {
            surface = false;
            break;
          }
          sum += l;
        }
      }
      if (surface) values.push_back(sum / ((2 * k + 1) * (2 * k + 1)));
    }
  }
  if (values.size() < 100) return 0.0;
  std::sort(values.begin(), values.end());
  return values[values.size() * 95 / 100] - values[values.size() * 5 / 100];
}

// Mean red minus blue, and mean luminance, over a rectangle.
double meanRedMinusBlue(const Screenshot& s, Rect r) {
  double sum = 0.0;
  for (int y = r.y0; y < r.y1; ++y) {
    for (int x = r.x0; x < r.x1; ++x) sum += s.at(x, y).r - s.at(x, y).b;
  }
  return sum / ((r.x1 - r.x0) * (r.y1 - r.y0));
}

double meanLuminance(const Screenshot& s, Rect r) {
  double sum = 0.0;
  for (int y = r.y0; y < r.y1; ++y) {
    for (int x = r.x0; x < r.x1; ++x) sum += luminance(s.at(x, y));
  }
  return sum / ((r.x1 - r.x0) * (r.y1 - r.y0));
}

// Hard steps per lit pixel: places where the brightness jumps by a fifth of
// its range from one pixel to the next with no ramp on either side (the
// edge of a square), along rows and columns, over the pixels that show
// something. A soft glow ramps up over many pixels instead.
double hardStepsPerLitPixel(const Screenshot& s, Rect r) {
  constexpr int kJump = 150, kFlat = 30;
  auto isStep = [&](int before, int a, int b, int after) {
    return std::abs(b - a) > kJump && std::abs(a - before) < kFlat && std::abs(after - b) < kFlat;
  };
  int steps = 0, lit = 0;
  for (int y = r.y0 + 1; y < r.y1 - 2; ++y) {
    for (int x = r.x0 + 1; x < r.x1 - 2; ++x) {
      if (s.at(x, y).sum() > 60) ++lit;
      if (isStep(s.at(x - 1, y).sum(), s.at(x, y).sum(), s.at(x + 1, y).sum(),
                 s.at(x + 2, y).sum())) {
        ++steps;
      }
      if (isStep(s.at(x, y - 1).sum(), s.at(x, y).sum(), s.at(x, y + 1).sum(),
                 s.at(x, y + 2).sum())) {
        ++steps;
      }
    }
  }
  return lit == 0 ? 0.0 : static_cast<double>(steps) / lit;
}

Lighter start(const std::string& mode, const std::string& dir = "") {
  e2e::Program program;
  if (!mode.empty()) program.args = {"--mode", mode};
  return Lighter({dir}, program);
}

// Two sparks, the flame lit, and frames enough for the start-up spread of
// particles to thin out.
void lightTheFlameAndWait(Lighter& lighter) {
  ASSERT_NO_FATAL_FAILURE(lightTheFlame(lighter));
  ASSERT_TRUE(lighter.waitForFrames(150, support::Seconds(120)));
}

void report(const char* what, double smooth, double lit) {
  std::printf("%s: Smooth %.4f, Lit %.4f\n", what, smooth, lit);
  ::testing::Test::RecordProperty(what, std::to_string(smooth) + " / " + std::to_string(lit));
}

TEST(LitPicture, ShadesTheShippedLighterOverAWiderSpreadThanSmooth) {
  Lighter smooth = start("");
  const double smoothSpread = shadingSpread(atRest(smooth), kWindow);
  EXPECT_EQ(smooth.exitThroughMenu(), 0);
  Lighter lit = start("lit");
  const double litSpread = shadingSpread(atRest(lit), kWindow);
  EXPECT_EQ(lit.exitThroughMenu(), 0);
  report("shading spread, shipped lighter", smoothSpread, litSpread);
  EXPECT_GT(litSpread, 2.0 * smoothSpread);
  EXPECT_GT(litSpread, 40.0);
}

TEST(LitPicture, ShadesAnImportedCandleAsARoundBody) {
  const support::TempDir dir("lighter-lit-candle");
  const std::string model = dir.path() + "/candle.obj", data = dir.path() + "/data";
  int status = -1;
  support::run({LIGHTER_MODEL_GEN, "candle", "3000", model}, &status);
  ASSERT_EQ(status, 0);
  support::run({LIGHTER_IMPORT_BINARY, model, "-o", data}, &status);
  ASSERT_EQ(status, 0);
  Lighter smooth = start("", data);
  const double smoothSpread = shadingSpread(atRest(smooth), kWindow);
  EXPECT_EQ(smooth.exitThroughMenu(), 0);
  Lighter lit = start("lit", data);
  const double litSpread = shadingSpread(atRest(lit), kWindow);
  EXPECT_EQ(lit.exitThroughMenu(), 0);
  report("shading spread, candle", smoothSpread, litSpread);
  EXPECT_GT(litSpread, 2.0 * smoothSpread);
  EXPECT_GT(litSpread, 40.0);
}

// The flame's light warms the body, flickers from frame to frame, and the
// flame itself is soft where Smooth's is made of squares.
TEST(LitPicture, TheFlameWarmsAndFlickersOnTheBodyAndGlowsSoftly) {
  struct Measures {
    double warmthAtRest = 0, warmthLit = 0, flicker = 0, steps = 0;
  };
  auto measure = [](const std::string& mode) {
    Measures m;
    Lighter lighter = start(mode);
    m.warmthAtRest = meanRedMinusBlue(atRest(lighter), kBody);
    lightTheFlameAndWait(lighter);
    double low = 1e9, high = -1e9;
    for (int i = 0; i < 6; ++i) {
      EXPECT_TRUE(lighter.waitForFrames(2));
      const Screenshot shot = lighter.screenshot();
      const double level = meanLuminance(shot, kBody);
      low = std::min(low, level);
      high = std::max(high, level);
      m.warmthLit += meanRedMinusBlue(shot, kBody) / 6.0;
      if (i == 0) {
        m.steps = hardStepsPerLitPixel(shot, kFlame);
      }
    }
    m.flicker = high - low;
    EXPECT_EQ(lighter.exitThroughMenu(), 0);
    return m;
  };
  const Measures smooth = measure("");
  const Measures lit = measure("lit");
  report("red minus blue on the body, at rest", smooth.warmthAtRest, lit.warmthAtRest);
  report("red minus blue on the body, flame burning, mean of six frames", smooth.warmthLit,
         lit.warmthLit);
  report("body luminance range over six frames", smooth.flicker, lit.flicker);
  report("hard steps per lit pixel of the flame", smooth.steps, lit.steps);
  EXPECT_GT(lit.warmthLit - lit.warmthAtRest, 6.0);
  EXPECT_GT(lit.flicker, 1.0);
  EXPECT_LT(lit.steps, smooth.steps / 4.0);
}

// ---- GL calls -----------------------------------------------------------------

long indexOf(const std::vector<GlCall>& frame, const std::string& name, const std::string& args,
             bool last = false) {
  long found = -1;
  for (long i = 0; i < static_cast<long>(frame.size()); ++i) {
    if (frame[i].name == name && frame[i].args.find(args) != std::string::npos) {
      found = i;
      if (!last) break;
    }
  }
  return found;
}

long countOf(const std::vector<GlCall>& frame, const std::string& name, const std::string& args) {
  return std::count_if(frame.begin(), frame.end(), [&](const GlCall& c) {
    return c.name == name && c.args.find(args) != std::string::npos;
  });
}

// The flame's calls of a Lit frame: the lit meshes; then, in the flame's
// buffer at its own size, the particles' squares in one draw with their
// own image, without depth writes; then the buffer added onto the frame
// under the depth test (the lighter hides what is behind it), and the
// silver texture bound again.
TEST(LitCalls, LightingOnlyForTheMeshesAndTheFlameInItsBufferWithItsOwnImageWithoutDepthWrites) {
  e2e::Program program;
  program.args = {"--mode", "lit"};
  Lighter lighter({"", /*trace=*/true}, program);
  ASSERT_TRUE(lighter.waitForWindow(support::Seconds(60)));
  ASSERT_NO_FATAL_FAILURE(lightTheFlameAndWait(lighter));
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
  const auto frames = e2e::splitFrames(lighter.glCalls());
  const auto last = std::find_if(frames.rbegin(), frames.rend(), [](const auto& f) {
    return isLighterFrame(f) && hasCall(f, "glDrawElements") && hasCall(f, "glDrawArrays");
  });
  ASSERT_NE(last, frames.rend()) << "no Lit frame with the flame in the trace";
  const std::vector<GlCall>& f = *last;
  EXPECT_EQ(countOf(f, "glDrawElements", ""), 2);  // each mesh once
  EXPECT_EQ(countOf(f, "glBegin", ""), 0);         // no immediate mode
  EXPECT_FALSE(hasCall(f, "glCallList"));          // the meshes come from client arrays
  const long lightingOn = indexOf(f, "glEnable", "GL_LIGHTING");
  const long lastMesh = indexOf(f, "glDrawElements", "", true);
  const long lightingOff = indexOf(f, "glDisable", "GL_LIGHTING");
  const long buffer = indexOf(f, "glBindFramebuffer", "");
  const long window = indexOf(f, "glBindFramebuffer", "framebuffer = 0", true);
  const long noDepthTest = indexOf(f, "glDisable", "GL_DEPTH_TEST");
  const long depthTest = indexOf(f, "glEnable", "GL_DEPTH_TEST");
  const long depthWritesOff = indexOf(f, "glDepthMask", "GL_FALSE");
  const long depthWritesOn = indexOf(f, "glDepthMask", "GL_TRUE");
  const long squares = indexOf(f, "glDrawArrays", "GL_TRIANGLES");
  const long added = indexOf(f, "glDrawArrays", "GL_TRIANGLE_STRIP");
  const long addingOn = indexOf(f, "glBlendFunc", "GL_ONE, dfactor = GL_ONE");
  for (long i : {lightingOn, lastMesh, lightingOff, buffer, window, noDepthTest, depthTest,
                 depthWritesOff, depthWritesOn, squares, added, addingOn}) {
    ASSERT_GE(i, 0);
  }
  EXPECT_EQ(f[buffer].args.find("framebuffer = 0"), std::string::npos) << f[buffer].args;
  EXPECT_LT(lightingOn, indexOf(f, "glDrawElements", ""));
  EXPECT_LT(lastMesh, lightingOff);
  EXPECT_LT(lightingOff, buffer);
  // The squares: no depth test in the buffer, no depth writes.
  EXPECT_LT(buffer, noDepthTest);
  EXPECT_LT(noDepthTest, squares);
  EXPECT_LT(depthWritesOff, squares);
  EXPECT_LT(squares, depthTest);
  EXPECT_LT(depthTest, window);
  // Added on under the depth test again, still without depth writes.
  EXPECT_LT(window, addingOn);
  EXPECT_LT(addingOn, added);
  EXPECT_LT(indexOf(f, "glDepthMask", "GL_FALSE", true), added);
  EXPECT_GT(indexOf(f, "glDepthMask", "GL_TRUE", true), added);
  EXPECT_LT(indexOf(f, "glDisable", "GL_DEPTH_TEST", true), window);
  // The buffer is a third of the window's size.
  const long reduced = indexOf(f, "glViewport", "width = 267, height = 200");
  EXPECT_GT(reduced, buffer);
  EXPECT_LT(reduced, squares);
  // The particles' texture: the name bound last before their draw is
  // neither start-up's generated name 1 (topTexture.bmp) nor a fixed one;
  // the buffer's own is bound for adding it on, and the silver one last.
  long bound = -1, boundToAdd = -1;
  for (long i = 0; i < static_cast<long>(f.size()); ++i) {
    if (f[i].name != "glBindTexture") continue;
    if (i < squares) bound = i;
    if (i < added) boundToAdd = i;
  }
  ASSERT_GE(bound, 0);
  EXPECT_GT(e2e::boundTexture(f[bound]), 3) << f[bound].args;
  EXPECT_GT(e2e::boundTexture(f[boundToAdd]), 3) << f[boundToAdd].args;
  EXPECT_NE(e2e::boundTexture(f[boundToAdd]), e2e::boundTexture(f[bound]));
  const long silver = indexOf(f, "glBindTexture", "", true);
  EXPECT_GT(silver, added);
  EXPECT_EQ(e2e::boundTexture(f[silver]), 3);
}

// Smooth after Lit draws exactly the start mode's frame: Lit leaves nothing
// behind in the other modes' calls.
TEST(LitCalls, SmoothAfterLitSendsTheStartModesFrameCallForCall) {
  Lighter lighter({"", /*trace=*/true});
  ASSERT_TRUE(lighter.waitForWindow(support::Seconds(60)));
  lighter.pickMenu({1, 2});  // "Mesh Modes", "Lit"
  lighter.click(700, 50);
  ASSERT_TRUE(lighter.waitForOutput("mouse clicked at 700 549", 1, support::Seconds(60)));
  lighter.pickMenu({1, 1});  // "Mesh Modes", "Smooth"
  lighter.click(701, 50);
  ASSERT_TRUE(lighter.waitForOutput("mouse clicked at 701 549", 1, support::Seconds(60)));
  ASSERT_TRUE(lighter.waitForFrames(2));
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
  std::vector<std::vector<GlCall>> frames;
  for (const auto& f : e2e::splitFrames(lighter.glCalls())) {
    if (isLighterFrame(f)) frames.push_back(f);
  }
  ASSERT_GE(frames.size(), 3u);
  const auto lit = std::find_if(frames.begin(), frames.end(),
                                [](const auto& f) { return hasCall(f, "glDrawElements"); });
  ASSERT_NE(lit, frames.end()) << "no Lit frame";
  ASSERT_NE(lit, frames.begin());
  const auto first = callsOf(*std::prev(lit));  // a start-mode frame (frame 0 holds start-up)
  const auto after = callsOf(frames.back());    // Smooth, after Lit
  EXPECT_FALSE(hasCall(frames.back(), "glDrawElements"));
  EXPECT_EQ(after.size(), first.size());
  EXPECT_TRUE(after == first);
}

}  // namespace
