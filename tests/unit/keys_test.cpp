// Keys as the same actions as the mouse and the menus.
#include <gtest/gtest.h>

#include <sstream>

#include "lighter/interaction.h"
#include "lighter/scene.h"

namespace {

TEST(Keys, EachKeyInEitherCaseMapsToItsAction) {
  const struct {
    unsigned char key;
    KeyAction action;
  } cases[] = {{' ', KeyAction::kFlint},
               {'w', KeyAction::kWireframe},
               {'W', KeyAction::kWireframe},
               {'s', KeyAction::kSmooth},
               {'S', KeyAction::kSmooth},
               {'l', KeyAction::kLit},
               {'L', KeyAction::kLit},
               {'c', KeyAction::kNextFlameColour},
               {'C', KeyAction::kNextFlameColour},
               {'f', KeyAction::kFullScreen},
               {'F', KeyAction::kFullScreen},
               {'q', KeyAction::kExit},
               {'Q', KeyAction::kExit},
               {27, KeyAction::kExit},
               {'x', KeyAction::kNone},
               {'\r', KeyAction::kNone},
               {'1', KeyAction::kNone},
               {0, KeyAction::kNone},
               {255, KeyAction::kNone}};
  for (const auto& c : cases) EXPECT_EQ(actionForKey(c.key), c.action) << int(c.key);
}

// Space is the click sequence without the click: sparks twice, then the
// flame, then out, and only the spark lines are printed.
TEST(Keys, TheFlintWheelRunsTheClickSequenceAndPrintsOnlySparks) {
  Scene s;
  assignStartValues(s);
  std::ostringstream out;
  EXPECT_TRUE(turnFlintWheel(s, out).startSparkTimers);
  EXPECT_TRUE(turnFlintWheel(s, out).startSparkTimers);
  EXPECT_EQ(s.act, 2);
  EXPECT_FALSE(turnFlintWheel(s, out).startSparkTimers);
  EXPECT_EQ(s.act, 3);
  EXPECT_EQ(s.flame.flameOn, 1);
  EXPECT_FALSE(turnFlintWheel(s, out).startSparkTimers);
  EXPECT_EQ(s.act, 0);
  EXPECT_EQ(s.flame.flameOn, 0);
  EXPECT_EQ(out.str(), "spark!!\nspark!!\n");
}

// C walks the flame menu in its order and comes round again; the choice is
// the menu's own, so Rotate starts the cycle and the next step stops it.
TEST(Keys, TheColourKeyStepsThroughTheFlameMenuInOrder) {
  FlameState flame;  // Yellow at start
  int seen[6] = {};
  for (int step = 0; step < 6; ++step) {
    seen[step] = nextFlameColourValue(flame);
    chooseFlameColor(flame, seen[step]);
  }
  EXPECT_EQ(std::vector<int>(seen, seen + 6), (std::vector<int>{2, 3, 4, 5, 1, 2}));
  chooseFlameColor(flame, 5);
  flame.col = 4;  // the cycle has moved on to a row no entry picks
  EXPECT_EQ(nextFlameColourValue(flame), 1);
  flame.rainbow = false;
  EXPECT_EQ(nextFlameColourValue(flame), 1);  // such a row counts as before Yellow
}

}  // namespace

namespace {

// F12 keeps a picture, Shift+F12 a clip; the arrows and Home are the
// camera's, and a key GLUT reports that the program does not know is none.
TEST(Keys, F12SavesAPictureAndShiftF12RecordsAClip) {
  EXPECT_EQ(actionForSpecialKey(SpecialKey::kF12, false), KeyAction::kSavePicture);
  EXPECT_EQ(actionForSpecialKey(SpecialKey::kF12, true), KeyAction::kRecordClip);
  for (bool shift : {false, true}) {
    EXPECT_EQ(actionForSpecialKey(SpecialKey::kOther, shift), KeyAction::kNone);
  }
}

}  // namespace
