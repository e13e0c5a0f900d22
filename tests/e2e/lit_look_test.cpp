// Lit showing a model in its own look, on screenshots of the real program:
// the texture laid on through the model's texture coordinates, material
// colours on the right parts, and the silver look with a reason when the
// look cannot be had. Which data directory a model comes from is decided in
// one place, lookDataDirectory.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/e2e/harness.h"
#include "tests/support/command.h"
#include "tests/support/look_data.h"
#include "tests/support/temp_dir.h"

namespace {

using e2e::GlCall;
using e2e::Lighter;
using e2e::Screenshot;

// A data directory for `model`, as a user gets one: the project's own model
// file (look_gen) in `format` (obj, dae, gltf or glb), imported by the real
// lighter-import, in a fresh temporary directory that goes with the returned
// object (its path + "/data"). Models: "quad" (the four-colour texture),
// "quad-without-texture" (the texture it names is not there), "two-colours"
// (red below blue) and "damaged-sidecar" (the quad with its sidecar cut short).
struct LookData {
  support::TempDir temp{"lighter-lit-look"};
  std::string importErrors;  // what lighter-import said on standard error
  std::string dir() const { return temp.path() + "/data"; }
};
LookData lookDataDirectory(const std::string& model, const std::string& format = "dae") {
  LookData data;
  const std::string kind = model == "damaged-sidecar" ? "quad" : model;
  const std::string file = data.temp.path() + "/model." + format;
  int status = -1;
  support::run({LIGHTER_LOOK_GEN, kind, file}, &status);
  EXPECT_EQ(status, 0) << "look_gen " << kind << " " << file;
  const std::string errors = data.temp.path() + "/import.err";
  support::Child importer({LIGHTER_IMPORT_BINARY, file, "-o", data.dir()}, data.temp.path(), {},
                          data.temp.path() + "/import.out", errors);
  EXPECT_EQ(importer.waitForExit(support::Seconds(120)), 0);
  data.importErrors = support::readFile(errors);
  if (model == "damaged-sidecar") lookdata::writeBytes(data.dir(), "lighterBase.look", "LGHTLO");
  return data;
}

// Window pixels, rows from the top.
struct Rect {
  int x0 = 800, y0 = 600, x1 = 0, y1 = 0;
  int width() const { return x1 - x0; }
  int height() const { return y1 - y0; }
};

struct Mean {
  double r = 0, g = 0, b = 0;
};

Mean meanOver(const Screenshot& s, int x0, int y0, int x1, int y1) {
  Mean m;
  const double n = static_cast<double>(x1 - x0) * (y1 - y0);
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      const e2e::Rgb c = s.at(x, y);
      m.r += c.r / n;
      m.g += c.g / n;
      m.b += c.b / n;
    }
  }
  return m;
}

bool lit(const e2e::Rgb& c) { return c.sum() > 60; }

// The box around every pixel that shows something (the flame is out).
Rect modelOn(const Screenshot& s) {
  Rect r;
  for (int y = 0; y < s.height; ++y) {
    for (int x = 0; x < s.width; ++x) {
      if (!lit(s.at(x, y))) continue;
      r.x0 = std::min(r.x0, x);
      r.y0 = std::min(r.y0, y);
      r.x1 = std::max(r.x1, x + 1);
      r.y1 = std::max(r.y1, y + 1);
    }
  }
  return r;
}

// The mean colour of the square of a fifth of the box's size whose centre
// lies at (fx, fy) of the box's width and height from its top left.
Mean meanAt(const Screenshot& s, const Rect& box, double fx, double fy) {
  const int cx = box.x0 + static_cast<int>(fx * box.width());
  const int cy = box.y0 + static_cast<int>(fy * box.height());
  const int hx = std::max(1, box.width() / 10), hy = std::max(1, box.height() / 10);
  return meanOver(s, cx - hx, cy - hy, cx + hx, cy + hy);
}

bool modelShows(const Screenshot& s) { return s.countBrighter(0, 0, s.width, s.height, 60) > 2000; }

struct LitRun {
  Screenshot shot;
  std::string errors;
};

// The model in Lit, at rest, and what the program said on standard error.
LitRun inLit(const LookData& data, bool trace = false) {
  e2e::Program program("", /*captureErrors=*/true);
  program.args = {"--mode", "lit"};
  Lighter lighter({data.dir(), trace}, program);
  LitRun run;
  EXPECT_TRUE(lighter.waitForWindow(support::Seconds(60)));
  auto shot = lighter.waitForScreenshot(modelShows, support::Seconds(60));
  EXPECT_TRUE(shot.has_value());
  run.shot = shot.value_or(Screenshot{});
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
  run.errors = lighter.errors();
  return run;
}

void record(const char* what, const Mean& m) {
  std::printf("%s: mean RGB %.0f %.0f %.0f\n", what, m.r, m.g, m.b);
}

// Greater by a clear margin, as a lit colour stays itself.
constexpr double kMargin = 60.0;

// Each format keeps its texture its own way: beside an OBJ (through its
// MTL), a Collada file (a TGA) or a glTF file (a PNG), inside a GLB.
class LitLookFormats : public ::testing::TestWithParam<const char*> {};

TEST_P(LitLookFormats, TheQuadShowsEachColourOfItsTextureInItsOwnQuadrant) {
  const LookData data = lookDataDirectory("quad", GetParam());
  EXPECT_EQ(data.importErrors, "");
  const LitRun run = inLit(data);
  EXPECT_EQ(run.errors, "");
  const Rect box = modelOn(run.shot);
  ASSERT_GT(box.width(), 100);
  ASSERT_GT(box.height(), 100);
  const Mean tl = meanAt(run.shot, box, 0.25, 0.25), tr = meanAt(run.shot, box, 0.75, 0.25);
  const Mean bl = meanAt(run.shot, box, 0.25, 0.75), br = meanAt(run.shot, box, 0.75, 0.75);
  record("top left", tl);
  record("top right", tr);
  record("bottom left", bl);
  record("bottom right", br);
  EXPECT_GT(tl.r, std::max(tl.g, tl.b) + kMargin);  // red
  EXPECT_GT(tr.g, std::max(tr.r, tr.b) + kMargin);  // green
  EXPECT_GT(bl.b, std::max(bl.r, bl.g) + kMargin);  // blue
  EXPECT_GT(std::min(br.r, br.g), br.b + kMargin);  // yellow
}

INSTANTIATE_TEST_SUITE_P(Imported, LitLookFormats, ::testing::Values("obj", "dae", "gltf", "glb"));

TEST(LitLookPicture, TwoMaterialsShowTheirColoursOnTheirOwnParts) {
  const LitRun run = inLit(lookDataDirectory("two-colours", "obj"));
  EXPECT_EQ(run.errors, "");
  const Rect box = modelOn(run.shot);
  ASSERT_GT(box.height(), 100);
  const Mean lower = meanAt(run.shot, box, 0.5, 0.8), upper = meanAt(run.shot, box, 0.5, 0.2);
  record("lower part", lower);
  record("upper part", upper);
  EXPECT_GT(lower.r, std::max(lower.g, lower.b) + kMargin);  // red below
  EXPECT_GT(upper.b, std::max(upper.r, upper.g) + kMargin);  // blue above
}

// Brushed silver: grey, whatever the model's look would have been.
void expectSilver(const LitRun& run) {
  const Rect box = modelOn(run.shot);
  ASSERT_GT(box.width(), 100);
  const Mean m = meanAt(run.shot, box, 0.5, 0.5);
  record("silver", m);
  EXPECT_GT(m.r + m.g + m.b, 60.0);
  EXPECT_LT(std::max({m.r, m.g, m.b}) - std::min({m.r, m.g, m.b}), 20.0);
  for (double fx : {0.25, 0.75}) {
    for (double fy : {0.25, 0.75}) {
      const Mean q = meanAt(run.shot, box, fx, fy);
      EXPECT_LT(std::max({q.r, q.g, q.b}) - std::min({q.r, q.g, q.b}), 20.0);
    }
  }
}

TEST(LitLookPicture, ADamagedSidecarSaysWhyAndTheModelStaysSilver) {
  const LitRun run = inLit(lookDataDirectory("damaged-sidecar"));
  EXPECT_EQ(run.errors,
            "lighter: lighterBase.look: not a look file, so the body is drawn silver in Lit\n");
  expectSilver(run);
}

// The importer warns about the texture it cannot find and writes no look;
// the program then has nothing to say and shows the silver metal.
TEST(LitLookPicture, AMissingTextureIsTheImportersWarningAndTheModelStaysSilver) {
  const LookData data = lookDataDirectory("quad-without-texture");
  EXPECT_NE(data.importErrors.find("warning"), std::string::npos) << data.importErrors;
  EXPECT_NE(data.importErrors.find("model.tga"), std::string::npos) << data.importErrors;
  EXPECT_EQ(std::count(data.importErrors.begin(), data.importErrors.end(), '\n'), 1);
  const LitRun run = inLit(data);
  EXPECT_EQ(run.errors, "");
  expectSilver(run);
}

// ---- GL calls -----------------------------------------------------------------

long indexOf(const std::vector<GlCall>& f, const std::string& name, const std::string& args,
             long from = 0) {
  for (long i = from; i < static_cast<long>(f.size()); ++i) {
    if (f[i].name == name && f[i].args.find(args) != std::string::npos) return i;
  }
  return -1;
}

TEST(LitLookCalls, TheTextureAndItsCoordinatesOnlyForTheMeshAndSilverAgainForTheFlame) {
  const LookData data = lookDataDirectory("quad");
  e2e::Program program;
  program.args = {"--mode", "lit"};
  Lighter lighter({data.dir(), /*trace=*/true}, program);
  ASSERT_TRUE(lighter.waitForWindow(support::Seconds(60)));
  for (int i = 0; i < 3; ++i) {  // two sparks and the flame
    lighter.click(390 + i, 449);
    ASSERT_TRUE(lighter.waitForOutput("mouse clicked at " + std::to_string(390 + i) + " 150"));
    if (i < 2) {
      ASSERT_TRUE(lighter.waitForTimers(e2e::kShortFlame));
    }
  }
  ASSERT_TRUE(lighter.waitForFrames(3));
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
  const auto frames = e2e::splitFrames(lighter.glCalls());
  const auto last = std::find_if(frames.rbegin(), frames.rend(), [](const auto& f) {
    return indexOf(f, "glDrawElements", "") >= 0 && indexOf(f, "glDrawArrays", "") >= 0 &&
           f.back().name == "glXSwapBuffers";
  });
  ASSERT_NE(last, frames.rend()) << "no Lit frame with the flame in the trace";
  const std::vector<GlCall>& f = *last;
  const long draw = indexOf(f, "glDrawElements", "");
  const long coordsOn = indexOf(f, "glEnableClientState", "GL_TEXTURE_COORD_ARRAY");
  // (apitrace records the array pointers into the program's memory apart from
  // the frame's calls, so glTexCoordPointer is not among them.)
  const long coordsOff = indexOf(f, "glDisableClientState", "GL_TEXTURE_COORD_ARRAY");
  const long textureOn = indexOf(f, "glEnable", "GL_TEXTURE_2D");
  const long textureOff = indexOf(f, "glDisable", "GL_TEXTURE_2D", textureOn);
  const long firstParticle = indexOf(f, "glDrawArrays", "");
  for (long i : {draw, coordsOn, coordsOff, textureOn, textureOff}) {
    ASSERT_GE(i, 0);
  }
  EXPECT_LT(coordsOn, draw);
  EXPECT_LT(textureOn, draw);
  EXPECT_GT(coordsOff, draw);
  EXPECT_GT(textureOff, draw);
  EXPECT_LT(coordsOff, firstParticle);
  EXPECT_LT(textureOff, firstParticle);
  // The model's own texture name is bound for the mesh, and the silver
  // texture (3) again before the flame, which binds its own.
  long bound = -1;
  for (long i = 0; i < draw; ++i) {
    if (f[i].name == "glBindTexture") bound = i;
  }
  ASSERT_GE(bound, 0);
  EXPECT_GT(e2e::boundTexture(f[bound]), 3) << f[bound].args;
  long silver = -1;
  for (long i = draw; i < static_cast<long>(f.size()) && silver < 0; ++i) {
    if (f[i].name == "glBindTexture" && e2e::boundTexture(f[i]) == 3) silver = i;
  }
  EXPECT_GE(silver, 0);
  EXPECT_LT(silver, firstParticle);
  // No colours in this model: none before the flame's own squares.
  const long colours = indexOf(f, "glEnableClientState", "GL_COLOR_ARRAY");
  EXPECT_TRUE(colours < 0 || colours > indexOf(f, "glBindFramebuffer", "")) << colours;
}

}  // namespace
