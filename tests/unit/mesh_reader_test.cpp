// Line handling and vertex lines of the `.m` reader.
#include <gtest/gtest.h>

#include <istream>
#include <ostream>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <utility>

#include "tests/unit/mesh_test_support.h"

namespace {

using meshtest::baseFaceOutput;
using meshtest::bytes;
using meshtest::expectVector;
using meshtest::readText;

const char* const kVertexError = "an error occurred in reading vertices\n";

// The plain triangle (0,0,0) (1,0,0) (0,1,0) with one face, as every layout
// below must read it.
void expectPlainTriangle(const MeshState& m, const std::string& printed) {
  EXPECT_EQ(printed, baseFaceOutput(1, 2, 3));
  ASSERT_EQ(m.lighterBaseVertices.size(), 3u);
  expectVector(m.lighterBaseVertices[0], 0, 0, 0);
  expectVector(m.lighterBaseVertices[1], 1, 0, 0);
  expectVector(m.lighterBaseVertices[2], 0, 1, 0);
  ASSERT_EQ(m.lighterBaseTriangles.size(), 1u);
  const Tri& f = m.lighterBaseTriangles[0];
  EXPECT_EQ(f.corner1, 1);
  EXPECT_EQ(f.corner2, 2);
  EXPECT_EQ(f.corner3, 3);
  expectVector(f.normal, 0, 0, 1);
  expectVector(m.centerBase, 1, 1, 0);  // still the plain sum
  EXPECT_TRUE(m.lighterTopVertices.empty());
  EXPECT_TRUE(m.lighterBaseNormals.empty());
}

struct LayoutCase {
  const char* name;
  std::string text;
};

void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.name; }

class LayoutIgnored : public testing::TestWithParam<LayoutCase> {};

TEST_P(LayoutIgnored, ReadsThePlainTriangle) {
  MeshState m;
  const std::string printed = readText(m, GetParam().text, 1);
  expectPlainTriangle(m, printed);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LayoutIgnored,
    testing::Values(
        LayoutCase{"LineFeeds", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n"},
        LayoutCase{"CarriageReturnLineFeeds", "v 0 0 0\r\nv 1 0 0\r\nv 0 1 0\r\nf 1 2 3\r\n"},
        LayoutCase{"BlankAndSpaceLines",
                   "\n\nv 0 0 0\n   \n\nv 1 0 0\n\t\nv 0 1 0\n\n\nf 1 2 3\n\n"},
        LayoutCase{"IndentedLines", "  v 0 0 0\n\tv 1 0 0\n \t v 0 1 0\n    f 1 2 3\n"},
        LayoutCase{"OtherWhitespaceBeforeLines", "\v\fv 0 0 0\n\rv 1 0 0\n\f\fv 0 1 0\n\vf 1 2 3"},
        LayoutCase{"LastLineWithoutLineFeed", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3"},
        LayoutCase{"OtherLinesSkippedSilently",
                   "# comment\nv 0 0 0\nV 9 9 9\nv 1 0 0\nF 1 2 3\no lid\ng x\n"
                   "v 0 1 0\nusemtl y\n1 2 3\nf 1 2 3\ns off\n"},
        LayoutCase{"FaceWordForLetter", "v 0 0 0\nv 1 0 0\nv 0 1 0\nfacet 1 2 3\n"},
        LayoutCase{"RunsOfSpacesInFace", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf   1    2  3   \n"},
        LayoutCase{"SlashFields", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1/4/7 2//5 3/\n"},
        LayoutCase{"NulEndsLineText", bytes("v 0 0 0\nv 1 0 0\0 9 9\nv 0 1 0\nf 1 2 3\0 4\n")}),
    [](const testing::TestParamInfo<LayoutCase>& info) { return info.param.name; });

TEST(MeshReader, EmptyOrContentFreeTextPrintsNothingAndAddsNothing) {
  for (const char* text : {"", "\n\n \t\r\n", "# only a comment\nx 1 2 3\n"}) {
    MeshState m;
    EXPECT_EQ(readText(m, text, 1), "") << text;
    EXPECT_TRUE(m.lighterBaseVertices.empty());
    EXPECT_TRUE(m.lighterBaseTriangles.empty());
  }
}

struct VertexCase {
  const char* line;
  float x, y, z;
  bool error;
};

void PrintTo(const VertexCase& c, std::ostream* os) { *os << c.line; }

class VertexLine : public testing::TestWithParam<VertexCase> {};

TEST_P(VertexLine, ConvertsLikeScanfAndAlwaysAddsTheVertex) {
  const VertexCase& c = GetParam();
  MeshState m;
  const std::string printed = readText(m, std::string(c.line) + "\n", 1);
  EXPECT_EQ(printed, c.error ? kVertexError : "");
  ASSERT_EQ(m.lighterBaseVertices.size(), 1u);
  expectVector(m.lighterBaseVertices[0], c.x, c.y, c.z);
}

INSTANTIATE_TEST_SUITE_P(Vertices, VertexLine,
                         testing::Values(VertexCase{"v 1.5 -2 3e2", 1.5f, -2, 300, false},
                                         VertexCase{"v1 2 3", 1, 2, 3, false},
                                         VertexCase{"v\t1 \t 2\t3", 1, 2, 3, false},
                                         VertexCase{"v +.5 -1E-1 0x10", 0.5f, -0.1f, 16, false},
                                         VertexCase{"v 1 2 3 4 and more", 1, 2, 3, false},
                                         VertexCase{"v 1 2", 1, 2, 0, true},
                                         VertexCase{"v 1 x 3", 1, 0, 0, true},
                                         VertexCase{"vt 0.5 0.25", 0, 0, 0, true},
                                         VertexCase{"vn 0 0 1", 0, 0, 0, true},
                                         VertexCase{"v", 0, 0, 0, true}));

TEST(MeshReader, MalformedVertexLineShiftsLaterVertexNumbers) {
  MeshState m;
  const std::string printed =
      readText(m, "v 0 0 0\nvt 0.5 0.5\nv 1 0 0\nvn 0 0 1\nv 0 1 0\nf 1 3 5\n", 1);
  EXPECT_EQ(printed, std::string(kVertexError) + kVertexError + baseFaceOutput(1, 3, 5));
  ASSERT_EQ(m.lighterBaseVertices.size(), 5u);
  expectVector(m.lighterBaseVertices[2], 1, 0, 0);
  ASSERT_EQ(m.lighterBaseTriangles.size(), 1u);
  expectVector(m.lighterBaseTriangles[0].normal, 0, 0, 1);
}

// A vertex line whose third number starts at character `at` (1-based).
std::string vertexWithZAt(size_t at) { return "v 1 2" + std::string(at - 6, ' ') + "3"; }

TEST(MeshReader, KeepsOnly255CharactersOfALine) {
  MeshState m;
  const std::string text = vertexWithZAt(255) + "\n" + vertexWithZAt(256) + "\nv 4 5 6\n";
  EXPECT_EQ(readText(m, text, 1), kVertexError);
  ASSERT_EQ(m.lighterBaseVertices.size(), 3u);
  expectVector(m.lighterBaseVertices[0], 1, 2, 3);
  expectVector(m.lighterBaseVertices[1], 1, 2, 0);  // its "3" was cut off
  expectVector(m.lighterBaseVertices[2], 4, 5, 6);
}

TEST(MeshReader, DiscardsAtMost9999CharactersAfterTheKeptPart) {
  const std::string kept = "#" + std::string(254, 'x');
  MeshState m;
  // 9999 characters discarded: what follows starts a further line.
  readText(m, kept + std::string(9999, 'x') + "v 7 8 9\n", 1);
  ASSERT_EQ(m.lighterBaseVertices.size(), 1u);
  expectVector(m.lighterBaseVertices[0], 7, 8, 9);

  MeshState shorter;
  // One character more and the "v" is discarded with the rest.
  readText(shorter, kept + std::string(10000, 'x') + "v 7 8 9\n", 1);
  EXPECT_TRUE(shorter.lighterBaseVertices.empty());
}

TEST(MeshReader, LineFeedAsLastDiscardedCharacterEndsTheLine) {
  const std::string kept = "#" + std::string(254, 'x');
  MeshState m;
  // The line feed is the 9999th discarded character, so the face is on line 2.
  const std::string printed = readText(m, kept + std::string(9998, 'x') + "\nf 1 2 3\n", 1);
  EXPECT_EQ(printed,
            "j is 1\nj is 2\nj is 3\n"
            "t.m:2: face skipped: corner 1 is not a vertex read so far (none read yet)\n");
}

TEST(MeshReader, BothMeshesWidenOneSharedBox) {
  MeshState m;
  readText(m, "v -1 0 -3\nv 2 1 -1\nv nan nan nan\n", 1);
  EXPECT_FLOAT_EQ(m.max_x, 2);
  EXPECT_FLOAT_EQ(m.min_x, -1);
  readText(m, "v 5 -3 -2\nv 0 0 -2\n", 0);
  EXPECT_FLOAT_EQ(m.max_x, 5);
  EXPECT_FLOAT_EQ(m.min_x, -1);
  EXPECT_FLOAT_EQ(m.max_y, 1);
  EXPECT_FLOAT_EQ(m.min_y, -3);
  EXPECT_FLOAT_EQ(m.min_z, -3);
  // No z above the start value of the maximum: it stays.
  EXPECT_EQ(m.max_z, 1.1754e-38f);
  EXPECT_EQ(m.lighterBaseVertices.size(), 3u);
  EXPECT_EQ(m.lighterTopVertices.size(), 2u);
  expectVector(m.centerTop, 5, -3, -4);
}

TEST(MeshReader, FirstVertexSetsBothEndsOfEachAxis) {
  MeshState m;
  readText(m, "v 3 -4 5\n", 0);
  EXPECT_FLOAT_EQ(m.max_x, 3);
  EXPECT_FLOAT_EQ(m.min_x, 3);
  EXPECT_FLOAT_EQ(m.min_y, -4);
  EXPECT_FLOAT_EQ(m.max_y, 1.1754e-38f);
  EXPECT_FLOAT_EQ(m.max_z, 5);
  EXPECT_FLOAT_EQ(m.min_z, 5);
}

// Hands out its text once, then fails like a disk that stops answering.
class FailingBuffer : public std::streambuf {
 public:
  explicit FailingBuffer(std::string text) : text_(std::move(text)) {
    setg(text_.data(), text_.data(), text_.data() + text_.size());
  }

 protected:
  int_type underflow() override { throw std::runtime_error("read error"); }

 private:
  std::string text_;
};

TEST(MeshReader, ReadErrorStopsReadingAndKeepsWhatWasRead) {
  FailingBuffer buffer("v 1 2 3\nv 4 5 6\n");
  std::istream in(&buffer);
  MeshState m;
  EXPECT_EQ(meshtest::printedBy([&](std::ostream& out) { readStream(m, in, 0, "t.m", out); }), "");
  EXPECT_TRUE(in.bad());
  ASSERT_EQ(m.lighterTopVertices.size(), 2u);
  expectVector(m.lighterTopVertices[1], 4, 5, 6);
}

}  // namespace
