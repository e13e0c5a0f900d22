// The images made without the BMP reader, and the texture loader's failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>

#include "tests/unit/bmp_builder.h"
#include "textures/image.h"
#include "textures/texture_state.h"

namespace {

using bmptest::Bytes;

struct Texel {
  int row;
  int column;
  unsigned char value;
};

TEST(Checkerboard, HasBlackAndWhiteSquaresOfEightTexelsStartingBlack) {
  const Image board = makeCheckerBoard(64, 64);
  EXPECT_EQ(board.width, 64u);
  EXPECT_EQ(board.height, 64u);
  const Bytes& pixel = board.data;
  ASSERT_EQ(pixel.size(), 12288u);
  const Texel texels[] = {{0, 0, 0},   {0, 8, 255}, {8, 0, 255},  {8, 8, 0},
                          {7, 8, 255}, {63, 63, 0}, {0, 63, 255}, {7, 7, 0}};
  for (const Texel& t : texels) {
    const size_t at = (size_t(t.row) * 64 + t.column) * 3;
    for (size_t c = 0; c < 3; ++c) {
      EXPECT_EQ(pixel[at + c], t.value) << "texel " << t.row << "," << t.column;
    }
  }
}

TEST(Checkerboard, LaysRowsOutOneAfterAnother) {
  const Bytes pixel = makeCheckerBoard(64, 64).data;
  // Texel (1, 0) starts at byte 192, texel (0, 8) at byte 24 and is white.
  EXPECT_EQ(Bytes(pixel.begin() + 189, pixel.begin() + 195), (Bytes{255, 255, 255, 0, 0, 0}));
  EXPECT_EQ(Bytes(pixel.begin() + 21, pixel.begin() + 27), (Bytes{0, 0, 0, 255, 255, 255}));
}

TEST(Checkerboard, IsHalfWhiteHalfBlack) {
  const Bytes pixel = makeCheckerBoard(64, 64).data;
  const auto white = std::count(pixel.begin(), pixel.end(), 255);
  const auto black = std::count(pixel.begin(), pixel.end(), 0);
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
  std::ostringstream printed;
  const Bytes image = readParticleImage(path().c_str(), printed, printed);
  EXPECT_EQ(printed.str(), "");
  raw.resize(kParticleImageBytes);  // what lies beyond the image is ignored
  EXPECT_EQ(image, raw);
}

TEST_F(ParticleFile, AShortFileLeavesTheRestBlackAndSaysSo) {
  bmptest::writeFile(path(), Bytes(1000, 200));
  std::ostringstream printed;
  const Bytes image = readParticleImage(path().c_str(), printed, printed);
  EXPECT_EQ(printed.str(),
            "Could not read all 3072 bytes of " + path() + " (got 1000); the rest is black\n");
  ASSERT_EQ(image.size(), kParticleImageBytes);
  EXPECT_EQ(std::count(image.begin(), image.begin() + 1000, 200), 1000);
  EXPECT_EQ(std::count(image.begin() + 1000, image.end(), 0), 2072);
}

TEST_F(ParticleFile, AMissingFileADirectoryOrADeviceGivesABlackImage) {
  const struct {
    std::string where, reason;
  } cases[] = {{path(), "No such file or directory"},
               {dir_, "Is a directory"},
               {"/dev/urandom", "not a regular file (a character device)"}};
  for (const auto& c : cases) {
    std::ostringstream printed;
    std::ostringstream reason;
    const Bytes image = readParticleImage(c.where.c_str(), printed, reason);
    EXPECT_EQ(printed.str(),
              "Could not read all 3072 bytes of " + c.where + " (got 0); the rest is black\n");
    EXPECT_EQ(reason.str(), c.where + ": " + c.reason + "\n");
    EXPECT_EQ(image, Bytes(kParticleImageBytes, 0)) << c.where;
  }
}

// The loader says what it tries and why it fails, and leaves ending the
// program to LoadTexture (tests/gl/callbacks_test.cpp).
TEST(TextureImage, SaysWhatItTriesAndWhyItFails) {
  const bmptest::TempDir temp("load-texture");
  const std::string& dir = temp.path();
  bmptest::writeFile(dir + "/eight.bmp", bmptest::header(4, 4, 1, 8));
  TextureState textures;
  std::ostringstream printed;
  EXPECT_FALSE(loadTextureImage(textures, (dir + "/eight.bmp").c_str(), printed, printed));
  EXPECT_EQ(printed.str(),
            "trying to load " + dir + "/eight.bmp\nBpp from " + dir + "/eight.bmp is not 24: 8\n");
}

TEST(TextureImage, KeepsTheRecordOfTheFileLoadedLast) {
  const bmptest::TempDir temp("load-texture");
  const std::string path = temp.path() + "/good.bmp";
  bmptest::writeFile(path, bmptest::bmp(5, 3, bmptest::pattern(5, 3)));
  TextureState textures;
  std::ostringstream printed;
  ASSERT_TRUE(loadTextureImage(textures, path.c_str(), printed, printed));
  EXPECT_EQ(printed.str(), "trying to load " + path + "\n");
  ASSERT_TRUE(textures.TextureImage);
  EXPECT_EQ(textures.TextureImage->width, 5u);
  EXPECT_EQ(textures.TextureImage->data, bmptest::pattern(5, 3));
}

}  // namespace
