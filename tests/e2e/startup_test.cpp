// The real program: its window, its first frames and its frame loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

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

namespace {

// Position of the first line equal to `line` at or after `from`; npos if none.
size_t findLine(const std::string& out, const std::string& line, size_t from = 0) {
  for (size_t at = out.find(line, from); at != std::string::npos; at = out.find(line, at + 1)) {
    const bool starts = at == 0 || out[at - 1] == '\n';
    const bool ends = at + line.size() < out.size() && out[at + line.size()] == '\n';
    if (starts && ends) return at;
  }
  return std::string::npos;
}

int countLines(const std::string& out, const std::string& line) {
  int n = 0;
  for (size_t at = findLine(out, line); at != std::string::npos; at = findLine(out, line, at + 1)) {
    ++n;
  }
  return n;
}

int facesIn(const std::string& meshFile) {
  const std::string text = support::readFile(meshFile);
  int faces = text.compare(0, 2, "f ") == 0 ? 1 : 0;
  for (size_t at = text.find("\nf "); at != std::string::npos; at = text.find("\nf ", at + 1)) {
    ++faces;
  }
  return faces;
}

TEST(StartUp, PrintsTexturesThenTheBaseMeshThenTheLid) {
  Lighter lighter;
  ASSERT_TRUE(lighter.waitForWindow());
  ASSERT_EQ(lighter.exitThroughMenu(), 0);
  const std::string out = lighter.output();

  // The milestones of start-up, each after the one before.
  const std::vector<std::string> milestones = {"trying to load topTexture.bmp",
                                               "trying to load baseTexture.bmp",
                                               "trying to load silverTexture.bmp",
                                               "Reading lighterBase.m...",
                                               "Reading coordinates from lighterBase.m",
                                               "int isBase is 1...",
                                               "Reading coordinates from lighterTop.m",
                                               "int isBase is 0...",
                                               "vectorA set for TOP...",
                                               "vectorB set for TOP..."};
  size_t at = 0;
  for (const auto& line : milestones) {
    const size_t next = findLine(out, line, at);
    ASSERT_NE(next, std::string::npos) << "missing, or out of order: " << line;
    at = next;
  }
  // Every face of both shipped meshes is reported, the lid's with its two
  // extra lines, and each mesh is followed by its first vertices and faces.
  const int baseFaces = facesIn(e2e::dataDir() + "/lighterBase.m");
  const int lidFaces = facesIn(e2e::dataDir() + "/lighterTop.m");
  ASSERT_GT(baseFaces, 0);
  ASSERT_GT(lidFaces, 0);
  EXPECT_EQ(countLines(out, "finished calculations"), baseFaces + lidFaces);
  EXPECT_EQ(countLines(out, "int isBase is 1..."), baseFaces);
  EXPECT_EQ(countLines(out, "vectorA set for TOP..."), lidFaces);
  const size_t lidStart = findLine(out, "Reading coordinates from lighterTop.m");
  EXPECT_LT(out.find("first vertex: "), lidStart);
  EXPECT_LT(out.find("third face: "), lidStart);
  EXPECT_GT(out.find("first vertex: ", lidStart), lidStart);
  EXPECT_NE(out.find("third face: ", lidStart), std::string::npos);
  // Nothing is read or skipped beyond that: no message of a bad line.
  EXPECT_EQ(out.find("error"), std::string::npos);
  EXPECT_EQ(out.find("skipped"), std::string::npos);
}

TEST(StartUp, WithoutTheLidFileReachesTheEventLoop) {
  const support::TempDir dir = e2e::copyDataSet({"lighterTop.m"});
  Lighter lighter({dir.path()});
  ASSERT_TRUE(lighter.waitForWindow());
  // A click is answered, so the event loop runs.
  lighter.click(700, 50);
  EXPECT_TRUE(lighter.waitForOutput("mouse clicked at 700 549\n"));
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
  EXPECT_NE(findLine(lighter.output(), "Could not open file lighterTop.m"), std::string::npos);
}

}  // namespace
