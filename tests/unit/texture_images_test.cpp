// The images made without the BMP reader, and LoadTexture's fatal failures.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "tests/unit/bmp_builder.h"
#include "textures/textures.h"

namespace {

using bmptest::Bytes;

struct Texel {
  int row;
  int column;
  unsigned char value;
};

TEST(Checkerboard, HasBlackAndWhiteSquaresOfEightTexelsStartingBlack) {
  TextureState textures;
  makeCheckerBoard(textures, 64, 64);
  ASSERT_EQ(textures.pixel.size(), 12288u);
  const Texel texels[] = {{0, 0, 0},   {0, 8, 255}, {8, 0, 255},  {8, 8, 0},
                          {7, 8, 255}, {63, 63, 0}, {0, 63, 255}, {7, 7, 0}};
  for (const Texel& t : texels) {
    const size_t at = (size_t(t.row) * 64 + t.column) * 3;
    for (size_t c = 0; c < 3; ++c) {
      EXPECT_EQ(textures.pixel[at + c], t.value) << "texel " << t.row << "," << t.column;
    }
  }
}

TEST(Checkerboard, LaysRowsOutOneAfterAnother) {
  TextureState textures;
  makeCheckerBoard(textures, 64, 64);
  // Texel (1, 0) starts at byte 192, texel (0, 8) at byte 24 and is white.
  EXPECT_EQ(Bytes(textures.pixel.begin() + 189, textures.pixel.begin() + 195),
            (Bytes{255, 255, 255, 0, 0, 0}));
  EXPECT_EQ(Bytes(textures.pixel.begin() + 21, textures.pixel.begin() + 27),
            (Bytes{0, 0, 0, 255, 255, 255}));
}

TEST(Checkerboard, IsHalfWhiteHalfBlack) {
  TextureState textures;
  makeCheckerBoard(textures, 64, 64);
  const auto white = std::count(textures.pixel.begin(), textures.pixel.end(), 255);
  const auto black = std::count(textures.pixel.begin(), textures.pixel.end(), 0);
  EXPECT_EQ(white, 2048 * 3);
  EXPECT_EQ(black, 2048 * 3);
}

class ParticleFile : public ::testing::Test {
 protected:
  std::string path() const { return dir_ + "/Particle.raw"; }
  bmptest::TempDir temp_{"particle"};
  const std::string dir_ = temp_.path();
};

TEST_F(ParticleFile, UploadsTheBytesAsTheyAreWithoutReordering) {
  Bytes raw(kParticleImageBytes + 50, 9);
  raw[0] = 255;
  raw[1] = 0;
  raw[2] = 0;
  raw[3071] = 77;
  bmptest::writeFile(path(), raw);
  testing::internal::CaptureStdout();
  const Bytes image = readParticleImage(path().c_str());
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  raw.resize(kParticleImageBytes);  // what lies beyond the image is ignored
  EXPECT_EQ(image, raw);
}

TEST_F(ParticleFile, AShortFileLeavesTheRestBlackAndSaysSo) {
  bmptest::writeFile(path(), Bytes(1000, 200));
  testing::internal::CaptureStdout();
  const Bytes image = readParticleImage(path().c_str());
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Could not read all 3072 bytes of " + path() + " (got 1000); the rest is black\n");
  ASSERT_EQ(image.size(), kParticleImageBytes);
  EXPECT_EQ(std::count(image.begin(), image.begin() + 1000, 200), 1000);
  EXPECT_EQ(std::count(image.begin() + 1000, image.end(), 0), 2072);
}

TEST_F(ParticleFile, AMissingFileOrADirectoryGivesABlackImage) {
  for (const std::string& where : {path(), dir_}) {
    testing::internal::CaptureStdout();
    const Bytes image = readParticleImage(where.c_str());
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Could not read all 3072 bytes of " + where + " (got 0); the rest is black\n");
    EXPECT_EQ(image, Bytes(kParticleImageBytes, 0)) << where;
  }
}

// LoadTexture ends the process; the child's standard output is sent to its
// standard error so that the death test can compare the exact text.
void loadAndExit(const std::string& path) {
  std::fflush(stdout);
  dup2(STDERR_FILENO, STDOUT_FILENO);
  TextureState textures;
  LoadTexture(textures, path.c_str(), 1);
}

TEST(LoadTextureDeath, EndsWithStatusOneAfterTheReadersMessage) {
  const bmptest::TempDir temp("load-texture");
  const std::string& dir = temp.path();
  bmptest::writeFile(dir + "/eight.bmp", bmptest::header(4, 4, 1, 8));
  EXPECT_EXIT(
      loadAndExit(dir + "/eight.bmp"), ::testing::ExitedWithCode(1),
      "^trying to load " + dir + "/eight\\.bmp\nBpp from " + dir + "/eight\\.bmp is not 24: 8\n$");
}

}  // namespace
