// The click sequence and the menus as plain changes of state. (The GLUT
// callbacks over them are tested in tests/gl/callbacks_test.cpp.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>

#include "lighter/interaction.h"
#include "lighter/scene.h"

namespace {

// A scene as start-up leaves it, in an 800 by 600 window.
std::unique_ptr<Scene> startedScene() {
  auto s = std::make_unique<Scene>();
  assignStartValues(*s);
  s->flame.yspeed = 80.0f;
  s->flame.zoom = -10.0f;
  return s;
}

// What the click logic writes, and the mouse events it is given.
std::ostringstream printed;

// Runs `event` and returns what it wrote.
template <typename Event>
std::string printedBy(Event event) {
  printed.str("");
  event();
  return printed.str();
}

ClickOutcome press(Scene& s, MouseButton button, bool pressed, int x, int y) {
  return handleMouse(s, {button, pressed, x, y}, printed);
}

// A left press at window pixel x and upward pixel yUp.
ClickOutcome clickAt(Scene& s, int x, int yUp) {
  return press(s, MouseButton::kLeft, true, x, s.view.GH - 1 - yUp);
}

struct ClickCase {
  int x;
  int yUp;
  bool counts;
};

void PrintTo(const ClickCase& c, std::ostream* os) {
  *os << "(" << c.x << ", " << c.yUp << (c.counts ? ") counts" : ") ignored");
}

class ClickAreaTest : public ::testing::TestWithParam<ClickCase> {};

TEST_P(ClickAreaTest, CountsOnlyInsideTheInclusiveRectangle) {
  const ClickCase c = GetParam();
  auto s = startedScene();
  ClickOutcome outcome;
  const std::string out = printedBy([&] { outcome = clickAt(*s, c.x, c.yUp); });
  const std::string where =
      "mouse clicked at " + std::to_string(c.x) + " " + std::to_string(c.yUp) + "\n";
  EXPECT_EQ(out, c.counts ? where + "spark!!\n" : where);
  EXPECT_EQ(s->act, c.counts ? 1 : 0);
  EXPECT_EQ(s->flame.flameOn, c.counts ? 1 : 0);
  EXPECT_EQ(outcome.startSparkTimers, c.counts);
}

// The rectangle's bounds count; a pixel beyond any of them does not.
constexpr view::PixelRect kArea = view::kClickArea;
INSTANTIATE_TEST_SUITE_P(
    Edges, ClickAreaTest,
    ::testing::Values(ClickCase{kArea.left, kArea.bottom, true},
                      ClickCase{kArea.right, kArea.top, true},
                      ClickCase{kArea.left, kArea.top, true},
                      ClickCase{kArea.right, kArea.bottom, true}, ClickCase{390, 150, true},
                      ClickCase{kArea.left - 1, 150, false}, ClickCase{kArea.right + 1, 150, false},
                      ClickCase{390, kArea.bottom - 1, false},
                      ClickCase{390, kArea.top + 1, false}),
    [](const auto& info) {
      return "X" + std::to_string(info.param.x) + "Y" + std::to_string(info.param.yUp);
    });

TEST(HandleMouse, PrintsYCountedUpwardFromTheBottomRow) {
  auto s = startedScene();
  EXPECT_EQ(printedBy([&] { press(*s, MouseButton::kLeft, true, 10, 0); }),
            "mouse clicked at 10 599\n");
  // After a resize y follows the new height; the rectangle follows the
  // picture (x 320 to 467 and from 3 to 200 in an 800 by 400 window).
  s->view.GH = 400;
  EXPECT_EQ(printedBy([&] { press(*s, MouseButton::kLeft, true, 300, 394); }),
            "mouse clicked at 300 5\n");
  EXPECT_EQ(printedBy([&] { press(*s, MouseButton::kLeft, true, 330, 394); }),
            "mouse clicked at 330 5\nspark!!\n");
}

TEST(HandleMouse, FourCountedClicksSparkTwiceLightAndPutOut) {
  auto s = startedScene();
  ClickOutcome outcome;
  std::string out = printedBy([&] { outcome = clickAt(*s, 400, 100); });
  EXPECT_EQ(out, "mouse clicked at 400 100\nspark!!\n");
  EXPECT_TRUE(outcome.startSparkTimers);
  EXPECT_EQ(s->act, 1);
  EXPECT_EQ(s->flame.zoom, -40.0f);
  EXPECT_EQ(s->flame.flameOn, 1);
  EXPECT_EQ(s->flame.playSpark, 1);

  out = printedBy([&] { outcome = clickAt(*s, 400, 100); });
  EXPECT_EQ(out, "mouse clicked at 400 100\nspark!!\n");
  EXPECT_TRUE(outcome.startSparkTimers);
  EXPECT_EQ(s->act, 2);
  EXPECT_EQ(s->flame.zoom, -40.0f);

  s->flame.flameOn = 0;  // as the short flame's timer leaves it
  s->flame.playSpark = 0;
  out = printedBy([&] { outcome = clickAt(*s, 400, 100); });
  EXPECT_EQ(out, "mouse clicked at 400 100\n");
  EXPECT_FALSE(outcome.startSparkTimers);
  EXPECT_EQ(s->act, 3);
  EXPECT_EQ(s->flame.zoom, -10.0f);
  EXPECT_EQ(s->flame.flameOn, 1);
  EXPECT_EQ(s->flame.playSpark, 0);

  out = printedBy([&] { outcome = clickAt(*s, 400, 100); });
  EXPECT_EQ(out, "mouse clicked at 400 100\n");
  EXPECT_FALSE(outcome.startSparkTimers);
  EXPECT_EQ(s->act, 0);
  EXPECT_EQ(s->flame.flameOn, 0);
  EXPECT_EQ(s->flame.zoom, -10.0f);
}

TEST(HandleMouse, IgnoresReleasesAndOtherButtons) {
  auto s = startedScene();
  const struct {
    MouseButton button;
    bool pressed;
  } events[] = {{MouseButton::kLeft, false},
                {MouseButton::kMiddle, true},
                {MouseButton::kMiddle, false},
                {MouseButton::kRight, true},
                {MouseButton::kOther, true}};
  for (const auto& e : events) {
    ClickOutcome outcome;
    EXPECT_EQ(printedBy([&] { outcome = press(*s, e.button, e.pressed, 400, 400); }), "");
    EXPECT_FALSE(outcome.startSparkTimers);
    EXPECT_EQ(s->act, 0);
    EXPECT_EQ(s->flame.flameOn, 0);
    EXPECT_EQ(s->flame.zoom, -10.0f);
  }
}

// Each entry, picked through its own value, does what its label says: the
// flame turns the colour named, "Rotate" starts the cycle, a mesh mode
// draws in that mode.
TEST(Menus, EachEntryDoesWhatItsLabelSays) {
  for (const MenuEntry& entry : kFlameMenu) {
    FlameState flame;
    flame.rainbow = std::string(entry.label) != "Rotate";
    chooseFlameColor(flame, entry.value);
    const std::string label = entry.label;
    if (label == "Rotate") {
      EXPECT_TRUE(flame.rainbow);
      continue;
    }
    EXPECT_FALSE(flame.rainbow) << label;
    ASSERT_GE(flame.col, 0);
    ASSERT_LT(flame.col, kColorCount);
    const float* rgb = colors[flame.col];
    const float r = rgb[0], g = rgb[1], b = rgb[2];
    // Tones apart enough that no colour passes for another.
    const bool named = label == "Red"      ? r > g && g == b
                       : label == "Yellow" ? r >= g && g > b
                       : label == "Green"  ? g > r && r >= b
                       : label == "Blue"   ? b > r && b > g
                                           : false;
    EXPECT_TRUE(named) << label << " gives " << r << " " << g << " " << b;
  }
  const struct {
    const char* label;
    int mode;
  } modes[] = {{"Wireframe", kWireframe}, {"Smooth", kSmooth}, {"Lit", kLit}};
  ASSERT_EQ(kModeMenuEntries, 3);
  for (const auto& want : modes) {
    const auto entry =
        std::find_if(std::begin(kModeMenu), std::end(kModeMenu),
                     [&](const MenuEntry& e) { return want.label == std::string(e.label); });
    ASSERT_NE(entry, std::end(kModeMenu)) << want.label;
    ViewState view;
    view.display_mode = -1;
    chooseMeshMode(view, entry->value);
    EXPECT_EQ(view.display_mode, want.mode) << want.label;
  }
}

TEST(FlameMenu, FixedColoursPickTheirRowAndStopTheCycle) {
  const struct {
    int value, col;
    bool rainbow;
  } cases[] = {{1, 1, false}, {2, 0, false}, {3, 3, false}, {4, 7, false},
               {5, 9, true},  {0, 9, true},  {6, 9, true}};  // others change nothing
  for (const auto& c : cases) {
    FlameState flame;
    flame.col = 9;
    flame.rainbow = true;
    chooseFlameColor(flame, c.value);
    EXPECT_EQ(flame.col, c.col) << "value " << c.value;
    EXPECT_EQ(flame.rainbow, c.rainbow) << "value " << c.value;
  }
}

TEST(FlameMenu, RotateThenBlueFixesTheColourAtBlue) {
  FlameState flame;
  chooseFlameColor(flame, 5);
  EXPECT_TRUE(flame.rainbow);
  chooseFlameColor(flame, 4);
  for (int tick = 0; tick < 100; ++tick) check_keys(flame);
  EXPECT_EQ(flame.col, 7);
}

TEST(FlameMenu, BlueReachesParticlesOnlyWhenTheyAreBornAgain) {
  auto s = startedScene();
  FlameState& flame = s->flame;
  initParticles(flame, std::rand);
  const auto before = flame.particle;
  chooseFlameColor(flame, 4);
  for (int i = 0; i < kParticleCount; ++i) {
    for (int c = 0; c < 3; ++c) ASSERT_EQ(flame.particle[i].color[c], before[i].color[c]);
  }
  flame.particle[0].life = 0.001f;
  particlePass(flame, std::rand, nullptr);
  EXPECT_EQ(flame.particle[0].color[0], 0.5f);
  EXPECT_EQ(flame.particle[0].color[1], 0.75f);
  EXPECT_EQ(flame.particle[0].color[2], 1.0f);
  EXPECT_EQ(flame.particle[1].color[0], before[1].color[0]);
}

TEST(ModeMenu, OnlySmoothAsksForTheSmoothShadeModel) {
  ViewState view;
  EXPECT_TRUE(chooseMeshMode(view, 2));
  EXPECT_EQ(view.display_mode, kSmooth);
  // Wireframe after Smooth leaves the shade model as Smooth set it.
  EXPECT_FALSE(chooseMeshMode(view, 1));
  EXPECT_EQ(view.display_mode, kWireframe);
  for (int value : {0, 4, -2}) {
    EXPECT_FALSE(chooseMeshMode(view, value));
    EXPECT_EQ(view.display_mode, kWireframe);
  }
}

TEST(MeshModeMenu, LitIsModeThreeAndLeavesTheShadeModelToItsFrames) {
  ViewState view;
  EXPECT_FALSE(chooseMeshMode(view, 3));
  EXPECT_EQ(view.display_mode, kLit);
  EXPECT_TRUE(chooseMeshMode(view, 2));
  EXPECT_EQ(view.display_mode, kSmooth);
  EXPECT_FALSE(chooseMeshMode(view, 4));  // no such entry: nothing changes
  EXPECT_EQ(view.display_mode, kSmooth);
}

}  // namespace
