// A long run of the checked build with the flame lit and the colour cycle on,
// worked through the real window now and then: its memory must stay flat,
// GL must report no error, no frame may allocate from the program's own
// code, and at the end it must still answer a click and leave through "Exit".
//
// LIGHTER_ENDURANCE_SECONDS sets the length (30 by default; tools/endurance.sh
// runs 600). The figures are printed for the report.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/harness.h"
#include "view/view_model.h"

namespace {

using Clock = std::chrono::steady_clock;
using e2e::kShortFlame;
using e2e::Lighter;
using e2e::Screenshot;

constexpr int kDim = 30;  // r+g+b above this counts as lit
// Growth of resident memory allowed after the warm-up. The renderer's own
// memory moves by a megabyte or two from frame to frame (its per-frame
// working memory follows what is drawn); a leak of a kilobyte per frame
// passes this within the short run, smaller ones within the long one.
constexpr long kRssGrowthBoundKb = 4096;
// Menu paths: main menu "Flame Colors" > "Rotate", "Mesh Modes" > entry.
const std::vector<int> kRotate = {0, 4};
const std::vector<int> kWireframe = {1, 0};
const std::vector<int> kSmooth = {1, 1};

int enduranceSeconds() {
  const char* text = std::getenv("LIGHTER_ENDURANCE_SECONDS");
  const int seconds = text ? std::atoi(text) : 0;
  return seconds > 0 ? seconds : 30;
}

long residentKb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return -1;
}

// Clicks at x and y counted upward from the bottom row; waits until the
// program has printed it, which proves it is still answering.
bool clickAndSeeIt(Lighter& lighter, int x, int yUp, int& printed) {
  lighter.click(x, view::kWindowHeight - 1 - yUp);
  ++printed;
  return lighter.waitForOutput("mouse clicked at ", printed);
}

int litAbove(const Screenshot& s) { return s.countBrighter(0, 0, s.width, s.height / 2, kDim); }

// The n-th click on the lighter's body, one pixel right of the one before.
bool clickBody(Lighter& lighter, int n, int& printed) {
  return clickAndSeeIt(lighter, 380 + n, 150, printed);
}

// A spark, then the wait until its timers have fired and its short flame is
// out: its timer would put out a flame lit before it fires.
bool spark(Lighter& lighter, int n, int& printed, int unlitAbove) {
  return clickBody(lighter, n, printed) && lighter.waitForOutput("spark!!\n", n) &&
         lighter.waitForTimers(kShortFlame) && litAbove(lighter.screenshot()) <= unlitAbove;
}

struct Samples {
  std::vector<long> kb;
  long max() const {
    long m = 0;
    for (long v : kb) m = v > m ? v : m;
    return m;
  }
  // Mean of the first or the last quarter of the samples: a trend shows as
  // a difference between them.
  long quarterMean(bool last) const {
    const size_t n = kb.size() / 4 > 0 ? kb.size() / 4 : 1;
    if (kb.empty()) return 0;
    long sum = 0;
    for (size_t i = 0; i < n; ++i) sum += kb[last ? kb.size() - 1 - i : i];
    return sum / static_cast<long>(n);
  }
};

TEST(Endurance, FlameAndColourCycleKeepMemoryFlatAndGlQuiet) {
  const int seconds = enduranceSeconds();
  Lighter lighter({}, {e2e::checkedBinaryPath(), /*captureErrors=*/true});
  ASSERT_TRUE(lighter.waitForWindow(support::Seconds(60)));
  int printed = 0;
  ASSERT_TRUE(clickAndSeeIt(lighter, 10, 590, printed));  // outside the lighter
  const long startKb = residentKb(lighter.pid());
  const int unlitAbove = litAbove(lighter.screenshot());

  // Two sparks, then the third click lights the steady flame.
  ASSERT_TRUE(spark(lighter, 1, printed, unlitAbove));
  ASSERT_TRUE(spark(lighter, 2, printed, unlitAbove));
  ASSERT_TRUE(clickBody(lighter, 3, printed));
  ASSERT_TRUE(support::waitUntil(
      [&] { return litAbove(lighter.screenshot()) > unlitAbove + 10000; }, support::Seconds(20)))
      << "the flame did not light";
  lighter.pickMenu(kRotate);

  // Warm-up: both mesh modes drawn once, so that the renderer has built what
  // each needs before the baseline is taken.
  lighter.pickMenu(kWireframe);
  ASSERT_TRUE(clickAndSeeIt(lighter, 20, 590, printed));
  lighter.pickMenu(kSmooth);
  ASSERT_TRUE(clickAndSeeIt(lighter, 30, 590, printed));
  const long warmKb = residentKb(lighter.pid());

  Samples samples;
  const auto end = Clock::now() + std::chrono::seconds(seconds);
  for (int round = 0; Clock::now() < end; ++round) {
    std::this_thread::sleep_for(std::chrono::seconds(2));  // the flame burns meanwhile
    lighter.pickMenu(round % 2 == 0 ? kWireframe : kSmooth);
    ASSERT_TRUE(clickAndSeeIt(lighter, 40 + round % 200, 590, printed))
        << "no answer to a click in round " << round;
    samples.kb.push_back(residentKb(lighter.pid()));
  }
  lighter.pickMenu(kSmooth);
  ASSERT_TRUE(clickAndSeeIt(lighter, 600, 150, printed));  // still answering at the end
  const long endKb = residentKb(lighter.pid());
  EXPECT_EQ(lighter.exitThroughMenu(), 0);

  const std::string errors = lighter.errors();
  EXPECT_EQ(errors.find("GL error 0x"), std::string::npos) << errors;
  EXPECT_EQ(errors.find("by the program in frame"), std::string::npos) << errors;
  EXPECT_EQ(errors.find("cannot be told apart"), std::string::npos) << errors;
  // Nor in the mouse, menu and timer callbacks between frames.
  EXPECT_NE(errors.find("by the program between frames 0\n"), std::string::npos) << errors;
  EXPECT_LE(samples.max() - warmKb, kRssGrowthBoundKb)
      << "resident memory grew from " << warmKb << " kB to " << samples.max() << " kB";
  std::printf(
      "endurance: %d s, %zu rounds; resident memory: %ld kB at start, %ld kB after warm-up, "
      "%ld kB at most, %ld kB at the end; mean of the first quarter %ld kB, of the last %ld kB\n",
      seconds, samples.kb.size(), startKb, warmKb, samples.max(), endKb, samples.quarterMean(false),
      samples.quarterMean(true));
  // The allocator's figures, first and last: live heap against heap held.
  const auto firstHeap = errors.find("memory after frame");
  const auto lastHeap = errors.rfind("memory after frame");
  if (firstHeap != std::string::npos) {
    const auto lineOf = [&](size_t at) { return errors.substr(at, errors.find('\n', at) - at); };
    std::printf("endurance: %s\nendurance: %s\n", lineOf(firstHeap).c_str(),
                lineOf(lastHeap).c_str());
  }
  const auto totals = errors.find("checked:");
  std::printf("endurance: %s",
              totals == std::string::npos ? "no totals\n" : errors.c_str() + totals);
}

}  // namespace
