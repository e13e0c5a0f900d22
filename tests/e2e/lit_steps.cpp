#include "tests/e2e/lit_steps.h"

#include <gtest/gtest.h>

#include <string>

namespace e2e {

namespace {
bool surfaceShows(const Screenshot& s) { return s.at(390, 449).sum() > 150; }
}  // namespace

Screenshot atRest(Lighter& lighter) {
  EXPECT_TRUE(lighter.waitForWindow(support::Seconds(60)));
  auto shot = lighter.waitForScreenshot(surfaceShows, support::Seconds(60));
  EXPECT_TRUE(shot.has_value());
  return shot.value_or(Screenshot{});
}

void lightTheFlame(Lighter& lighter) {
  for (int i = 0; i < 3; ++i) {
    lighter.click(390 + i, 449);
    ASSERT_TRUE(lighter.waitForOutput("mouse clicked at " + std::to_string(390 + i) + " 150"));
    if (i < 2) {
      ASSERT_TRUE(lighter.waitForTimers(kShortFlame));
    }
  }
}

}  // namespace e2e
