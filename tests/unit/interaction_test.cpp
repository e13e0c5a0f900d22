// The click sequence and the menus as plain changes of state. (The GLUT
// callbacks over them are tested in tests/gl/callbacks_test.cpp.)
#include <gtest/gtest.h>

#include <cstdlib>
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

TEST(FlameMenu, EntriesAndValuesInMenuOrder) {
  const char* labels[] = {"Yellow", "Red", "Green", "Blue", "Rotate"};
  for (int i = 0; i < 5; ++i) {
    EXPECT_STREQ(kFlameMenu[i].label, labels[i]);
    EXPECT_EQ(kFlameMenu[i].value, i + 1);
  }
  EXPECT_STREQ(kModeMenu[0].label, "Wireframe");
  EXPECT_EQ(kModeMenu[0].value, 1);
  EXPECT_STREQ(kModeMenu[1].label, "Smooth");
  EXPECT_EQ(kModeMenu[1].value, 2);
  ASSERT_EQ(kModeMenuEntries, 3);
  EXPECT_STREQ(kModeMenu[2].label, "Lit");
  EXPECT_EQ(kModeMenu[2].value, 3);
  EXPECT_EQ(kExitValue, 1);
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
