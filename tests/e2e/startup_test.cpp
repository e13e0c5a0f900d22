// The real program: its window, its first frames and its frame loop.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/e2e/harness.h"

namespace {

using e2e::GlCall;
using e2e::Lighter;

std::vector<std::string> names(const std::vector<GlCall>& calls) {
  std::vector<std::string> out;
  for (const auto& c : calls) out.push_back(c.name);
  return out;
}

// The calls of a frame from `first` up to and including `last`.
std::vector<GlCall> between(const std::vector<GlCall>& frame, const std::string& first,
                            const std::string& last) {
  auto begin = std::find_if(frame.begin(), frame.end(), [&](auto& c) { return c.name == first; });
  auto end = std::find_if(begin, frame.end(), [&](auto& c) { return c.name == last; });
  return {begin, end == frame.end() ? end : end + 1};
}

TEST(Window, OpensWithItsTitleSizeAndPosition) {
  Lighter lighter;
  ASSERT_TRUE(lighter.waitForWindow());
  EXPECT_EQ(lighter.title(), "Lighter Demonstration");
  const auto g = lighter.geometry();
  EXPECT_EQ(g.width, 800);
  EXPECT_EQ(g.height, 600);
  EXPECT_EQ(g.x, 320);
  EXPECT_EQ(g.y, 100);
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
}

TEST(Window, DrawsOnABlackBackground) {
  Lighter lighter;
  ASSERT_TRUE(lighter.waitForWindow());
  // The first frames replace whatever the window held with black corners.
  auto shot = lighter.waitForScreenshot([](const e2e::Screenshot& s) {
    return s.countBrighter(0, 0, 40, 40, 0) == 0 && s.countBrighter(760, 560, 800, 600, 0) == 0;
  });
  ASSERT_TRUE(shot.has_value());
  EXPECT_EQ(shot->width, 800);
  EXPECT_EQ(shot->height, 600);
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
}

TEST(Frame, MakesItsCallsInOrderAndLeavesTheModelviewAsItFoundIt) {
  Lighter lighter({"", /*trace=*/true});
  ASSERT_TRUE(lighter.waitForWindow(support::Seconds(60)));
  ASSERT_EQ(lighter.exitThroughMenu(), 0);
  auto frames = e2e::splitFrames(lighter.glCalls());
  // Frame 0 holds start-up as well; frame 1 is a frame like every other.
  ASSERT_GE(frames.size(), 3u);
  const auto& frame = frames[1];
  const auto head = names(between(frame, "glClear", "glViewport"));
  EXPECT_EQ(head, (std::vector<std::string>{"glClear", "glMatrixMode", "glPushMatrix",
                                            "glMatrixMode", "glLoadIdentity", "glMultMatrixd",
                                            "glMatrixMode", "glViewport"}));
  // After the lighter: the swap (freeglut flushes, then swaps), then the
  // frame's own flush before the next frame's clear.
  std::vector<std::string> tail;
  for (const auto& c : frames[2]) {
    if (c.name == "glClear") break;
    tail.push_back(c.name);
  }
  EXPECT_EQ(tail, (std::vector<std::string>{"glFlush"}));
  EXPECT_EQ(frame.back().name, "glXSwapBuffers");
  EXPECT_EQ(frame[frame.size() - 2].name, "glFlush");
  EXPECT_EQ(frame[frame.size() - 3].name, "glPopMatrix");
  // Every push of the frame is popped again before the swap.
  int depth = 0;
  for (const auto& c : frame) {
    if (c.name == "glPushMatrix") ++depth;
    if (c.name == "glPopMatrix") --depth;
    EXPECT_GE(depth, 0) << "call " << c.index;
  }
  EXPECT_EQ(depth, 0);
  EXPECT_NE(std::find_if(frame.begin(), frame.end(),
                         [](auto& c) {
                           return c.name == "glViewport" &&
                                  c.args.find("width = 800, height = 600") != std::string::npos;
                         }),
            frame.end());
}

}  // namespace
